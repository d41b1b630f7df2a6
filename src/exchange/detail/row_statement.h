#pragma once
// How one data row becomes an INSERT statement: each cell written as an SQL
// value by the kind of its table column.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "db/ado.h"

namespace dovrel::exchange::detail {

// What the statement needs to know of the table column behind one source
// column.
struct ColumnDescription {
    int16_t kind = 1;                 // 1 text, 2 date/time, 3 numeric, 4 other (not written)
    bool nullableByName = false;      // the field named like the source column accepts nulls (text)
    bool nullableAtPosition = false;  // the table's field at the source column's position accepts nulls (date, numeric)
    bool isBit = false;               // the field named like the source column is a bit (ADO boolean)
};

// The descriptions of the source columns `names` against the probe's fields.
// Throws ado::DatabaseError when a name is not a field of the probe.
std::vector<ColumnDescription> describeColumns(ado::Recordset& probe, std::span<const std::string_view> names);

// "Insert Into " + table + " ([A],[B]) Values (": the statement up to its
// values. A "]" inside a name is doubled, as the brackets require.
std::string statementPrefix(std::string_view table, std::span<const std::string_view> names);

// Appends prefix + the row's values + ")" + CR LF to `out`. `cells` holds one
// text per description. With `echoLimit`, for a report, a value longer than
// that many bytes is cut there and ends in "…".
inline constexpr std::size_t kNoEchoLimit = static_cast<std::size_t>(-1);
void appendRowStatement(std::string& out, std::string_view prefix, std::span<const ColumnDescription> columns,
                        std::span<const std::string_view> cells, std::size_t echoLimit = kNoEchoLimit);

// A cell that is not empty but that the statement does not write as itself.
enum class CellChange : uint8_t {
    None,         // written as it stands (an empty cell, and #Null written as Null, included)
    ToNull,       // no date: Null
    ToEmptyDate,  // no date, in a column that refuses NULL: '' (the server's day zero)
    ToEmptyText,  // #Null in a column that refuses NULL: N''
    ToZero,       // a bit column's text other than True and False: 0
    Omitted,      // a numeric column's text that is no number: no value, so the server refuses the row
};
// What appendRowStatement makes of `value` in `column`.
CellChange cellChange(const ColumnDescription& column, std::string_view value);

}  // namespace dovrel::exchange::detail

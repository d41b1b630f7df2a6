#pragma once
// How one data row becomes an INSERT statement: each cell written as an SQL
// value by the kind of its table column.
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
    int16_t kind = 1;                  // 1 text, 2 date/time, 3 numeric, 4 other (not written)
    bool nullableByName = false;       // the field named like the source column accepts nulls (text)
    bool nullableAtPosition = false;   // the table's field at the source column's position accepts nulls (date, numeric)
    bool isBit = false;                // the field named like the source column is a bit (ADO boolean)
};

// The descriptions of the source columns `names` against the probe's fields.
// Throws ado::DatabaseError when a name is not a field of the probe.
std::vector<ColumnDescription> describeColumns(ado::Recordset& probe, std::span<const std::string_view> names);

// "Insert Into " + table + " ([A],[B]) Values (": the statement up to its values.
std::string statementPrefix(std::string_view table, std::span<const std::string_view> names);

// Appends prefix + the row's values + ")" + CR LF to `out`. `cells` holds one
// text per description.
void appendRowStatement(std::string& out, std::string_view prefix, std::span<const ColumnDescription> columns,
                        std::span<const std::string_view> cells);

}  // namespace dovrel::exchange::detail

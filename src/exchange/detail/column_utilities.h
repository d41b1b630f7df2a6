#pragma once
// Small procedures the exchange operations share: how a column's values are
// written (its kind), the next free value of a numbering column, and running
// one statement with error detection.
#include <cstdint>
#include <optional>
#include <string>

#include "db/ado.h"
#include "exchange/detail/error_report.h"

namespace dovrel::exchange::detail {

// Column kinds.
inline constexpr int16_t kKindText = 1;
inline constexpr int16_t kKindDate = 2;
inline constexpr int16_t kKindNumeric = 3;   // bit included
inline constexpr int16_t kKindOther = 4;     // binary, GUID, timestamp, ...: not written
inline constexpr int16_t kKindUnknown = -1;  // the column could not be examined

// The kind of an ADO data type code.
int16_t FieldKind(int adoType);
int16_t FieldKind(const ado::Field& field);

// The kind of `column` of `table`, learnt from an empty query; -1 on any
// failure (no message), and for a table name that is no name. The column is
// bracketed when it is no plain name (identifiers.h).
int16_t ColumnKind(const std::string& connectStr, const std::string& table, const std::string& column);

// The column's maximum plus 1; 1 when it holds no value; -1 when the query
// cannot be opened (no message; a table name that is no name is not tried)
// or its maximum is not a number or the next
// value leaves the 32-bit range (message with number and description). When
// `failure` is given it receives the reason of a -1 that means failure.
int32_t NextValue(const std::string& table, const std::string& column, const std::string& connectStr,
                  std::optional<ErrorReport>* failure = nullptr);

// Runs `sql` on `connection`: true when it failed (an error was raised or the
// connection's Errors collection has an entry afterwards). False without a
// connection. Never shows a message.
bool ExecuteSql(ado::Connection* connection, const std::string& sql);

}  // namespace dovrel::exchange::detail

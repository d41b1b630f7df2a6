#pragma once
// The ADO data type code of a result column, from what the ODBC driver
// says of it: its SQL type and the server's type name.
#include <string_view>

#include "db/odbc_headers.h"

namespace dovrel::ado {

// SQL Server specific SQL types that the driver may report.
inline constexpr SQLSMALLINT kSqlSsVariant = -150;
inline constexpr SQLSMALLINT kSqlSsXml = -152;
inline constexpr SQLSMALLINT kSqlSsTime2 = -154;
inline constexpr SQLSMALLINT kSqlSsTimestampOffset = -155;

// `typeName` is SQL_DESC_TYPE_NAME ("money", "int identity", ...); it
// decides where the SQL type alone is ambiguous (money and decimal are both
// SQL_DECIMAL). Unknown types give adVariant.
int adoTypeOf(SQLSMALLINT sqlType, std::string_view typeName);

}  // namespace dovrel::ado

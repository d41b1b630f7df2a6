#pragma once
// Reading one column value of the current row as the text that Field::Value
// gives, and the formatting rules behind it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "db/odbc_headers.h"

namespace dovrel::ado::odbc {

// The value of `column` (1 first) of the current row; nullopt for NULL.
// Throws DatabaseError when the driver cannot deliver it.
std::optional<std::string> readValue(SQLHSTMT statement, SQLUSMALLINT column, SQLSMALLINT sqlType);

// "YYYY-MM-DD hh:mm:ss", with ".fff" when the value has milliseconds.
std::string formatTimestamp(const SQL_TIMESTAMP_STRUCT& value);
std::string formatDate(const SQL_DATE_STRUCT& value);
// A decimal text from the driver in plain notation: no trailing zeros after
// the point, no lone point, a leading zero before it ("-.50" -> "-0.5").
std::string normalizeDecimal(std::string_view text);
// The shortest text that reads back as the same number, without exponent.
std::string formatDouble(double value);
std::string formatFloat(float value);
// Uppercase hexadecimal digits, two per byte.
std::string hexDigits(std::string_view bytes);

}  // namespace dovrel::ado::odbc

#include "db/odbc_values.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "db/odbc_handles.h"
#include "db/odbc_text.h"

namespace dovrel::ado::odbc {
namespace {

constexpr std::size_t kChunkBytes = 8192;

// Character or binary data of any length, read in pieces. `terminator` is
// the size of the terminating character the driver writes after each piece.
std::optional<std::string> readPieces(SQLHSTMT statement, SQLUSMALLINT column, SQLSMALLINT cType,
                                      std::size_t terminator) {
    std::string bytes;
    char buffer[kChunkBytes];  // not cleared: the driver says how much it wrote
    const std::size_t room = kChunkBytes - terminator;
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = SQLGetData(statement, column, cType, buffer, static_cast<SQLLEN>(kChunkBytes), &indicator);
        if (rc == SQL_NO_DATA) break;
        check(rc, SQL_HANDLE_STMT, statement, "SQLGetData");
        if (indicator == SQL_NULL_DATA) return std::nullopt;
        const bool more =
            rc == SQL_SUCCESS_WITH_INFO && (indicator == SQL_NO_TOTAL || static_cast<std::size_t>(indicator) > room);
        // Never more than the buffer holds, whatever the indicator claims.
        const std::size_t written =
            indicator == SQL_NO_TOTAL ? room : std::min(static_cast<std::size_t>(std::max<SQLLEN>(indicator, 0)), room);
        bytes.append(buffer, written);
        if (!more) break;
    }
    return bytes;
}

std::optional<std::string> readWideText(SQLHSTMT statement, SQLUSMALLINT column) {
    std::optional<std::string> bytes = readPieces(statement, column, SQL_C_WCHAR, sizeof(SQLWCHAR));
    if (!bytes) return std::nullopt;
    std::u16string text(bytes->size() / sizeof(char16_t), u'\0');
    std::memcpy(text.data(), bytes->data(), text.size() * sizeof(char16_t));
    return toUtf8(text);
}

template <class T>
std::optional<T> readFixed(SQLHSTMT statement, SQLUSMALLINT column, SQLSMALLINT cType) {
    T value{};
    SQLLEN indicator = 0;
    check(SQLGetData(statement, column, cType, &value, sizeof value, &indicator), SQL_HANDLE_STMT, statement,
          "SQLGetData");
    if (indicator == SQL_NULL_DATA) return std::nullopt;
    return value;
}

template <class T, class Format>
std::optional<std::string> readFormatted(SQLHSTMT statement, SQLUSMALLINT column, SQLSMALLINT cType, Format format) {
    const std::optional<T> value = readFixed<T>(statement, column, cType);
    if (!value) return std::nullopt;
    return format(*value);
}

template <class T>
std::string shortestFixed(T value) {
    char buffer[512];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

}  // namespace

std::optional<std::string> readValue(SQLHSTMT statement, SQLUSMALLINT column, SQLSMALLINT sqlType) {
    switch (sqlType) {
    case SQL_BIT:
        return readFormatted<unsigned char>(statement, column, SQL_C_BIT,
                                            [](unsigned char v) { return std::string(v ? "True" : "False"); });
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
        return readFormatted<SQLBIGINT>(statement, column, SQL_C_SBIGINT,
                                        [](SQLBIGINT v) { return std::to_string(v); });
    case SQL_REAL: return readFormatted<float>(statement, column, SQL_C_FLOAT, formatFloat);
    case SQL_FLOAT:
    case SQL_DOUBLE: return readFormatted<double>(statement, column, SQL_C_DOUBLE, formatDouble);
    case SQL_DECIMAL:
    case SQL_NUMERIC: {
        const std::optional<std::string> text = readPieces(statement, column, SQL_C_CHAR, 1);
        if (!text) return std::nullopt;
        return normalizeDecimal(*text);
    }
    case SQL_DATETIME:
    case SQL_TYPE_TIMESTAMP:
        return readFormatted<SQL_TIMESTAMP_STRUCT>(statement, column, SQL_C_TYPE_TIMESTAMP, formatTimestamp);
    case SQL_TYPE_DATE: return readFormatted<SQL_DATE_STRUCT>(statement, column, SQL_C_TYPE_DATE, formatDate);
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY: {
        const std::optional<std::string> bytes = readPieces(statement, column, SQL_C_BINARY, 0);
        if (!bytes) return std::nullopt;
        return hexDigits(*bytes);
    }
    case SQL_GUID: {
        // The braced, uppercase form in which a GUID value has always been shown.
        std::optional<std::string> text = readWideText(statement, column);
        if (!text) return std::nullopt;
        for (char& c : *text)
            if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
        if (!text->starts_with('{')) *text = "{" + *text + "}";
        return text;
    }
    default: return readWideText(statement, column);
    }
}

std::string formatTimestamp(const SQL_TIMESTAMP_STRUCT& value) {
    char buffer[48];
    int length = std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u %02u:%02u:%02u", value.year, value.month,
                               value.day, value.hour, value.minute, value.second);
    const unsigned milliseconds = value.fraction / 1000000u;
    if (milliseconds != 0)
        length +=
            std::snprintf(buffer + length, sizeof buffer - static_cast<std::size_t>(length), ".%03u", milliseconds);
    return std::string(buffer, static_cast<std::size_t>(length));
}

std::string formatDate(const SQL_DATE_STRUCT& value) {
    char buffer[24];
    const int length = std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u", value.year, value.month, value.day);
    return std::string(buffer, static_cast<std::size_t>(length));
}

std::string normalizeDecimal(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    std::string sign;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        if (text.front() == '-') sign = "-";
        text.remove_prefix(1);
    }
    std::string digits(text);
    if (digits.find('.') != std::string::npos) {
        while (digits.back() == '0') digits.pop_back();
        if (digits.back() == '.') digits.pop_back();
    }
    if (digits.empty() || digits.front() == '.') digits.insert(0, "0");
    if (digits.find_first_not_of("0.") == std::string::npos) sign.clear();  // no "-0"
    return sign + digits;
}

std::string formatDouble(double value) { return shortestFixed(value); }
std::string formatFloat(float value) { return shortestFixed(value); }

std::string hexDigits(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        text += kDigits[b >> 4];
        text += kDigits[b & 0x0F];
    }
    return text;
}

}  // namespace dovrel::ado::odbc

#include "db/ado_field_types.h"

#include <array>
#include <string>
#include <utility>

#include "db/ado.h"

namespace dovrel::ado {
namespace {

int byName(std::string_view name) {
    static constexpr std::array<std::pair<std::string_view, int>, 31> kTypes{{
        {"bit", adBoolean},
        {"tinyint", adUnsignedTinyInt},
        {"smallint", adSmallInt},
        {"int", adInteger},
        {"bigint", adBigInt},
        {"real", adSingle},
        {"float", adDouble},
        {"decimal", adNumeric},
        {"numeric", adNumeric},
        {"money", adCurrency},
        {"smallmoney", adCurrency},
        {"datetime", adDBTimeStamp},
        {"smalldatetime", adDBTimeStamp},
        {"datetime2", adDBTimeStamp},
        {"datetimeoffset", adDBTimeStamp},
        {"date", adDBDate},
        {"time", adDBTime},
        {"char", adChar},
        {"varchar", adVarChar},
        {"text", adLongVarChar},
        {"nchar", adWChar},
        {"nvarchar", adVarWChar},
        {"sysname", adVarWChar},
        {"ntext", adLongVarWChar},
        {"xml", adLongVarWChar},
        {"binary", adBinary},
        {"timestamp", adBinary},
        {"rowversion", adBinary},
        {"varbinary", adVarBinary},
        {"image", adLongVarBinary},
        {"uniqueidentifier", adGUID},
    }};
    for (const auto& [typeName, code] : kTypes)
        if (typeName == name) return code;
    return adEmpty;
}

int bySqlType(SQLSMALLINT sqlType) {
    switch (sqlType) {
    case SQL_CHAR: return adChar;
    case SQL_VARCHAR: return adVarChar;
    case SQL_LONGVARCHAR: return adLongVarChar;
    case SQL_WCHAR: return adWChar;
    case SQL_WVARCHAR: return adVarWChar;
    case SQL_WLONGVARCHAR: return adLongVarWChar;
    case SQL_BIT: return adBoolean;
    case SQL_TINYINT: return adUnsignedTinyInt;
    case SQL_SMALLINT: return adSmallInt;
    case SQL_INTEGER: return adInteger;
    case SQL_BIGINT: return adBigInt;
    case SQL_REAL: return adSingle;
    case SQL_FLOAT:
    case SQL_DOUBLE: return adDouble;
    case SQL_DECIMAL:
    case SQL_NUMERIC: return adNumeric;
    case SQL_DATETIME:
    case SQL_TYPE_TIMESTAMP:
    case kSqlSsTimestampOffset: return adDBTimeStamp;
    case SQL_TYPE_DATE: return adDBDate;
    case SQL_TIME:
    case SQL_TYPE_TIME:
    case kSqlSsTime2: return adDBTime;
    case SQL_BINARY: return adBinary;
    case SQL_VARBINARY: return adVarBinary;
    case SQL_LONGVARBINARY: return adLongVarBinary;
    case SQL_GUID: return adGUID;
    case kSqlSsXml: return adLongVarWChar;
    default: return adVariant;
    }
}

// The (max) forms of the variable types come as long SQL types.
int widenToLong(int code, SQLSMALLINT sqlType) {
    const bool isLong = sqlType == SQL_LONGVARCHAR || sqlType == SQL_WLONGVARCHAR || sqlType == SQL_LONGVARBINARY;
    if (!isLong) return code;
    switch (code) {
    case adVarChar: return adLongVarChar;
    case adVarWChar: return adLongVarWChar;
    case adVarBinary: return adLongVarBinary;
    default: return code;
    }
}

}  // namespace

int adoTypeOf(SQLSMALLINT sqlType, std::string_view typeName) {
    // "int identity" and the like: the first word is the type.
    std::string name(typeName.substr(0, typeName.find(' ')));
    for (char& c : name)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    const int named = byName(name);
    return named == adEmpty ? bySqlType(sqlType) : widenToLong(named, sqlType);
}

}  // namespace dovrel::ado

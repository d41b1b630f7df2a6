#pragma once
// Declared column types: what CREATE TABLE may name, how each is kept in
// SQLite, and how it is described and encoded on the wire.
#include "byte_buffer.h"
#include "collation.h"
#include "value.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace standin {

enum class BaseType {
    TinyInt,
    SmallInt,
    Int,
    BigInt,
    Bit,
    Decimal,
    Numeric,
    Money,
    SmallMoney,
    Float,
    Real,
    DateTime,
    SmallDateTime,
    Date,
    NVarChar,
    VarChar,
    NChar,
    Char,
    NText,
    Text,
    UniqueIdentifier,
    VarBinary,
    Binary,
    Image,
    Timestamp,
};

struct SqlType {
    BaseType base = BaseType::Int;
    int length = 0;     // characters or bytes; MaxLength for (max)
    int precision = 0;  // decimal and numeric
    int scale = 0;
    // Of text: its code page (non-Unicode) and comparison rule; null means
    // the server's default collation.
    const Collation* collation = nullptr;
    static constexpr int MaxLength = -1;

    bool isText() const;
    bool isUnicodeText() const;
    bool isBinary() const;
    bool isInteger() const;
    bool isExactNumeric() const;  // decimal, numeric, money, smallmoney
    bool isDateTime() const;
};

// The type a name and its arguments denote ("nvarchar", 50), or nothing for
// an unknown name. arg1/arg2 are 0 when absent, MaxLength for "max".
std::optional<SqlType> makeSqlType(const std::string& name, int arg1, int arg2, bool hasArgs);
// The type "nvarchar(50)", "decimal(10,2)", "varchar(max)" ... denotes.
std::optional<SqlType> parseTypeSpec(std::string_view spec);
// "nvarchar(50)", "decimal(10,2)", "int" ... as SQL Server spells them.
std::string typeDisplayName(const SqlType& t);
// The bare name: "nvarchar", "int" (used in conversion messages).
std::string typeBaseName(BaseType b);
// Column type for the SQLite table: affinity and, for text, the collating
// sequence of its collation.
std::string sqliteColumnType(const SqlType& t);

// Column description and values on the wire (TDS 7.x).
void writeTypeInfo(ByteWriter& w, const SqlType& t, uint32_t tdsVersion);
void writeValue(ByteWriter& w, const SqlType& t, const Value& v, uint32_t tdsVersion);
// The user type field of COLMETADATA (timestamp has its own).
uint32_t wireUserType(const SqlType& t);

// Text width used for values of expressions without a declared type.
SqlType inferredTextType(size_t maxChars);

}  // namespace standin

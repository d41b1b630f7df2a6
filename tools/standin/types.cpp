#include "types.h"

#include "code_page.h"
#include "date_literal.h"
#include "sqlite_db.h"
#include "numeric_text.h"
#include "sqlite_collations.h"
#include "text_codec.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace standin {
namespace {

namespace wire {
constexpr uint8_t Image = 0x22, Text = 0x23, Guid = 0x24, IntN = 0x26, DateN = 0x28, NText = 0x63, BitN = 0x68,
                  DecimalN = 0x6A, NumericN = 0x6C, FloatN = 0x6D, MoneyN = 0x6E, DateTimeN = 0x6F, BigVarBinary = 0xA5,
                  BigVarChar = 0xA7, BigBinary = 0xAD, BigChar = 0xAF, NVarChar = 0xE7, NChar = 0xEF;
}

const Collation& collationOf(const SqlType& t) { return t.collation ? *t.collation : defaultCollation(); }

constexpr uint32_t Tds73 = 0x730A0003;
constexpr uint32_t TimestampUserType = 80;

uint8_t decimalBytes(int precision) {
    if (precision <= 9) return 5;
    if (precision <= 19) return 9;
    if (precision <= 28) return 13;
    return 17;
}

// nvarchar/nchar sizes on the wire, in bytes; 0xFFFF means max.
uint16_t wideMaxBytes(const SqlType& t) {
    if (t.length == SqlType::MaxLength || t.length > 4000) return 0xFFFF;
    return static_cast<uint16_t>(std::max(1, t.length) * 2);
}

// varchar/char sizes on the wire, in bytes of the code page; 0xFFFF means max.
uint16_t narrowMaxBytes(const SqlType& t) {
    if (t.length == SqlType::MaxLength || t.length > 8000) return 0xFFFF;
    return static_cast<uint16_t>(std::max(1, t.length));
}

int64_t asInteger(const Value& v) {
    switch (v.kind) {
    case Value::Kind::Integer: return v.i;
    case Value::Kind::Real: return static_cast<int64_t>(v.r);
    case Value::Kind::Text:
    case Value::Kind::Blob: {
        if (auto n = parseIntegerText(v.s)) return *n;
        if (auto f = parseFloatText(v.s)) return static_cast<int64_t>(*f);
        return 0;
    }
    case Value::Kind::Null: return 0;
    }
    return 0;
}

double asDouble(const Value& v) {
    switch (v.kind) {
    case Value::Kind::Integer: return static_cast<double>(v.i);
    case Value::Kind::Real: return v.r;
    case Value::Kind::Text:
    case Value::Kind::Blob: return parseFloatText(v.s).value_or(0.0);
    case Value::Kind::Null: return 0;
    }
    return 0;
}

Int128 asScaled(const Value& v, int scale) {
    switch (v.kind) {
    case Value::Kind::Integer: return static_cast<Int128>(v.i) * powerOfTen(scale);
    case Value::Kind::Real: return decimalFromDouble(v.r, scale).value_or(DecimalNumber{}).mantissa;
    case Value::Kind::Text:
    case Value::Kind::Blob:
        if (auto d = parseDecimalText(v.s)) return rescale(*d, scale);
        return decimalFromDouble(parseFloatText(v.s).value_or(0.0), scale).value_or(DecimalNumber{}).mantissa;
    case Value::Kind::Null: return 0;
    }
    return 0;
}

DateTimeParts asDateTime(const Value& v) {
    if (v.kind == Value::Kind::Text) {
        if (auto p = parseStoredDateTime(v.s)) return *p;
        // Text that skipped the conversions (a trigger's insert): read year first.
        DateSettings isoOrder;
        isoOrder.order = DateOrder::YMD;
        if (auto p = readDateLiteral(v.s, isoOrder, DateKind::DateTime).value) return *p;
    }
    if (v.kind == Value::Kind::Integer || v.kind == Value::Kind::Real) {
        // A number counts days from 1900-01-01, as SQL Server converts it.
        const double days = asDouble(v);
        const int64_t whole = static_cast<int64_t>(std::floor(days));
        DateTimeParts p = civilFromDays(daysFromCivil(1900, 1, 1) + whole);
        const int64_t ms = std::llround((days - static_cast<double>(whole)) * 86400000.0);
        p.hour = static_cast<int>(ms / 3600000);
        p.minute = static_cast<int>(ms / 60000 % 60);
        p.second = static_cast<int>(ms / 1000 % 60);
        p.millis = static_cast<int>(ms % 1000);
        return p;
    }
    return DateTimeParts{};
}

void writeLittleEndian(ByteWriter& w, uint64_t v, int bytes) {
    for (int k = 0; k < bytes; ++k) w.u8(static_cast<uint8_t>(v >> (8 * k)));
}

// "6F9619FF-8B86-D011-B42D-00C04FC964FF" to the 16 bytes of the wire form.
std::string guidBytes(const std::string& text) {
    std::string hex;
    for (char c : text) {
        if (std::isxdigit(static_cast<unsigned char>(c))) hex.push_back(c);
    }
    std::string raw(16, '\0');
    if (hex.size() != 32) return raw;
    for (size_t k = 0; k < 16; ++k) raw[k] = static_cast<char>(std::stoi(hex.substr(2 * k, 2), nullptr, 16));
    // The first three groups are little-endian on the wire.
    std::swap(raw[0], raw[3]);
    std::swap(raw[1], raw[2]);
    std::swap(raw[4], raw[5]);
    std::swap(raw[6], raw[7]);
    return raw;
}

std::string textOf(const Value& v) { return valueText(v); }

void writePlp(ByteWriter& w, std::string_view data) {
    w.u64(data.size());
    if (!data.empty()) {
        w.u32(static_cast<uint32_t>(data.size()));
        w.bytes(data);
    }
    w.u32(0);
}

void writeLegacyLob(ByteWriter& w, std::string_view data) {
    w.u8(16);
    w.bytes(std::string(16, '\x01'));  // text pointer: never used by the client
    w.bytes(std::string(8, '\0'));     // its timestamp
    w.u32(static_cast<uint32_t>(data.size()));
    w.bytes(data);
}

}  // namespace

bool SqlType::isText() const {
    switch (base) {
    case BaseType::NVarChar:
    case BaseType::VarChar:
    case BaseType::NChar:
    case BaseType::Char:
    case BaseType::NText:
    case BaseType::Text: return true;
    default: return false;
    }
}

bool SqlType::isUnicodeText() const {
    return base == BaseType::NVarChar || base == BaseType::NChar || base == BaseType::NText;
}

bool SqlType::isBinary() const {
    return base == BaseType::VarBinary || base == BaseType::Binary || base == BaseType::Image ||
           base == BaseType::Timestamp;
}

bool SqlType::isInteger() const {
    return base == BaseType::TinyInt || base == BaseType::SmallInt || base == BaseType::Int || base == BaseType::BigInt;
}

bool SqlType::isExactNumeric() const {
    return base == BaseType::Decimal || base == BaseType::Numeric || base == BaseType::Money ||
           base == BaseType::SmallMoney;
}

bool SqlType::isDateTime() const {
    return base == BaseType::DateTime || base == BaseType::SmallDateTime || base == BaseType::Date;
}

std::optional<SqlType> makeSqlType(const std::string& rawName, int arg1, int arg2, bool hasArgs) {
    const std::string name = toLower(rawName);
    SqlType t;
    auto textType = [&](BaseType b, int defaultLength) {
        t.base = b;
        t.length = hasArgs ? arg1 : defaultLength;
        return t;
    };
    if (name == "int" || name == "integer") {
        t.base = BaseType::Int;
        return t;
    }
    if (name == "smallint") {
        t.base = BaseType::SmallInt;
        return t;
    }
    if (name == "tinyint") {
        t.base = BaseType::TinyInt;
        return t;
    }
    if (name == "bigint") {
        t.base = BaseType::BigInt;
        return t;
    }
    if (name == "bit") {
        t.base = BaseType::Bit;
        return t;
    }
    if (name == "decimal" || name == "dec" || name == "numeric") {
        t.base = name == "numeric" ? BaseType::Numeric : BaseType::Decimal;
        t.precision = hasArgs ? arg1 : 18;
        t.scale = hasArgs ? arg2 : 0;
        if (t.precision < 1 || t.precision > 38 || t.scale < 0 || t.scale > t.precision) return std::nullopt;
        return t;
    }
    if (name == "money") {
        t.base = BaseType::Money;
        t.precision = 19;
        t.scale = 4;
        return t;
    }
    if (name == "smallmoney") {
        t.base = BaseType::SmallMoney;
        t.precision = 10;
        t.scale = 4;
        return t;
    }
    if (name == "float") {
        t.base = hasArgs && arg1 >= 1 && arg1 <= 24 ? BaseType::Real : BaseType::Float;
        return t;
    }
    if (name == "real") {
        t.base = BaseType::Real;
        return t;
    }
    if (name == "datetime") {
        t.base = BaseType::DateTime;
        return t;
    }
    if (name == "smalldatetime") {
        t.base = BaseType::SmallDateTime;
        return t;
    }
    if (name == "date") {
        t.base = BaseType::Date;
        return t;
    }
    if (name == "nvarchar" || name == "sysname") {
        if (name == "sysname") return textType(BaseType::NVarChar, 128);
        return textType(BaseType::NVarChar, 1);
    }
    if (name == "varchar") return textType(BaseType::VarChar, 1);
    if (name == "nchar") return textType(BaseType::NChar, 1);
    if (name == "char") return textType(BaseType::Char, 1);
    if (name == "ntext") {
        t.base = BaseType::NText;
        t.length = SqlType::MaxLength;
        return t;
    }
    if (name == "text") {
        t.base = BaseType::Text;
        t.length = SqlType::MaxLength;
        return t;
    }
    if (name == "uniqueidentifier") {
        t.base = BaseType::UniqueIdentifier;
        return t;
    }
    if (name == "varbinary") return textType(BaseType::VarBinary, 1);
    if (name == "binary") return textType(BaseType::Binary, 1);
    if (name == "image") {
        t.base = BaseType::Image;
        t.length = SqlType::MaxLength;
        return t;
    }
    if (name == "timestamp" || name == "rowversion") {
        t.base = BaseType::Timestamp;
        t.length = 8;
        return t;
    }
    return std::nullopt;
}

std::optional<SqlType> parseTypeSpec(std::string_view spec) {
    const auto open = spec.find('(');
    const std::string name(spec.substr(0, open));
    if (open == std::string_view::npos) return makeSqlType(name, 0, 0, false);
    const auto close = spec.find(')', open);
    if (close == std::string_view::npos) return std::nullopt;
    const std::string args(spec.substr(open + 1, close - open - 1));
    const auto comma = args.find(',');
    auto number = [](const std::string& a) { return a == "max" ? SqlType::MaxLength : std::atoi(a.c_str()); };
    return makeSqlType(name, number(args.substr(0, comma)),
                       comma == std::string::npos ? 0 : number(args.substr(comma + 1)), true);
}

std::string typeBaseName(BaseType b) {
    switch (b) {
    case BaseType::TinyInt: return "tinyint";
    case BaseType::SmallInt: return "smallint";
    case BaseType::Int: return "int";
    case BaseType::BigInt: return "bigint";
    case BaseType::Bit: return "bit";
    case BaseType::Decimal: return "decimal";
    case BaseType::Numeric: return "numeric";
    case BaseType::Money: return "money";
    case BaseType::SmallMoney: return "smallmoney";
    case BaseType::Float: return "float";
    case BaseType::Real: return "real";
    case BaseType::DateTime: return "datetime";
    case BaseType::SmallDateTime: return "smalldatetime";
    case BaseType::Date: return "date";
    case BaseType::NVarChar: return "nvarchar";
    case BaseType::VarChar: return "varchar";
    case BaseType::NChar: return "nchar";
    case BaseType::Char: return "char";
    case BaseType::NText: return "ntext";
    case BaseType::Text: return "text";
    case BaseType::UniqueIdentifier: return "uniqueidentifier";
    case BaseType::VarBinary: return "varbinary";
    case BaseType::Binary: return "binary";
    case BaseType::Image: return "image";
    case BaseType::Timestamp: return "timestamp";
    }
    return "?";
}

std::string typeDisplayName(const SqlType& t) {
    std::string name = typeBaseName(t.base);
    switch (t.base) {
    case BaseType::Decimal:
    case BaseType::Numeric: return name + "(" + std::to_string(t.precision) + "," + std::to_string(t.scale) + ")";
    case BaseType::NVarChar:
    case BaseType::VarChar:
    case BaseType::NChar:
    case BaseType::Char:
    case BaseType::VarBinary:
    case BaseType::Binary:
        return name + "(" + (t.length == SqlType::MaxLength ? std::string("max") : std::to_string(t.length)) + ")";
    default: return name;
    }
}

std::string sqliteColumnType(const SqlType& t) {
    if (t.isInteger() || t.base == BaseType::Bit || t.base == BaseType::Timestamp) return "INTEGER";
    if (t.base == BaseType::Float || t.base == BaseType::Real) return "REAL";
    // Exact text that compares, sorts and finds MIN/MAX by value: NUMERIC
    // affinity would keep only a double's fifteen digits.
    if (t.isExactNumeric()) return std::string("TEXT COLLATE ") + ExactNumericCollation;
    if (t.isBinary()) return "BLOB";
    if (t.isDateTime()) return "TEXT";
    // Text compares as its collation says; SQLite knows each one by name.
    return std::string("TEXT COLLATE ") + quoteName(collationOf(t).name);
}

uint32_t wireUserType(const SqlType& t) { return t.base == BaseType::Timestamp ? TimestampUserType : 0; }

SqlType inferredTextType(size_t maxChars) {
    SqlType t;
    t.base = BaseType::NVarChar;
    t.length = maxChars > 4000 ? SqlType::MaxLength : 4000;
    return t;
}

void writeTypeInfo(ByteWriter& w, const SqlType& t, uint32_t tdsVersion) {
    switch (t.base) {
    case BaseType::TinyInt:
        w.u8(wire::IntN);
        w.u8(1);
        return;
    case BaseType::SmallInt:
        w.u8(wire::IntN);
        w.u8(2);
        return;
    case BaseType::Int:
        w.u8(wire::IntN);
        w.u8(4);
        return;
    case BaseType::BigInt:
        w.u8(wire::IntN);
        w.u8(8);
        return;
    case BaseType::Bit:
        w.u8(wire::BitN);
        w.u8(1);
        return;
    case BaseType::Decimal:
    case BaseType::Numeric:
        w.u8(t.base == BaseType::Decimal ? wire::DecimalN : wire::NumericN);
        w.u8(decimalBytes(t.precision));
        w.u8(static_cast<uint8_t>(t.precision));
        w.u8(static_cast<uint8_t>(t.scale));
        return;
    case BaseType::Money:
        w.u8(wire::MoneyN);
        w.u8(8);
        return;
    case BaseType::SmallMoney:
        w.u8(wire::MoneyN);
        w.u8(4);
        return;
    case BaseType::Float:
        w.u8(wire::FloatN);
        w.u8(8);
        return;
    case BaseType::Real:
        w.u8(wire::FloatN);
        w.u8(4);
        return;
    case BaseType::DateTime:
        w.u8(wire::DateTimeN);
        w.u8(8);
        return;
    case BaseType::SmallDateTime:
        w.u8(wire::DateTimeN);
        w.u8(4);
        return;
    case BaseType::Date:
        if (tdsVersion >= Tds73) {
            w.u8(wire::DateN);
        } else {  // older clients know no date type: send its text
            w.u8(wire::NVarChar);
            w.u16(20);
            w.bytes(collationOf(t).wireBytes());
        }
        return;
    case BaseType::NVarChar:
        w.u8(wire::NVarChar);
        w.u16(wideMaxBytes(t));
        w.bytes(collationOf(t).wireBytes());
        return;
    case BaseType::NChar:
        if (wideMaxBytes(t) == 0xFFFF) {
            w.u8(wire::NVarChar);
            w.u16(0xFFFF);
        } else {
            w.u8(wire::NChar);
            w.u16(wideMaxBytes(t));
        }
        w.bytes(collationOf(t).wireBytes());
        return;
    // varchar, char and text travel in their collation's code page, which
    // the collation bytes name, as SQL Server sends them.
    case BaseType::VarChar:
        w.u8(wire::BigVarChar);
        w.u16(narrowMaxBytes(t));
        w.bytes(collationOf(t).wireBytes());
        return;
    case BaseType::Char:
        w.u8(wire::BigChar);
        w.u16(narrowMaxBytes(t));
        w.bytes(collationOf(t).wireBytes());
        return;
    case BaseType::NText:
    case BaseType::Text:
        w.u8(t.base == BaseType::Text ? wire::Text : wire::NText);
        w.u32(0x7FFFFFFE);
        w.bytes(collationOf(t).wireBytes());
        w.u8(0);  // no table name parts
        return;
    case BaseType::UniqueIdentifier:
        w.u8(wire::Guid);
        w.u8(16);
        return;
    case BaseType::VarBinary:
        w.u8(wire::BigVarBinary);
        w.u16(t.length == SqlType::MaxLength || t.length > 8000 ? 0xFFFF : static_cast<uint16_t>(t.length));
        return;
    case BaseType::Binary:
        w.u8(wire::BigBinary);
        w.u16(static_cast<uint16_t>(std::min(t.length, 8000)));
        return;
    case BaseType::Timestamp:
        w.u8(wire::BigBinary);
        w.u16(8);
        return;
    case BaseType::Image:
        w.u8(wire::Image);
        w.u32(0x7FFFFFFF);
        w.u8(0);
        return;
    }
}

void writeValue(ByteWriter& w, const SqlType& t, const Value& v, uint32_t tdsVersion) {
    const bool null = v.isNull();
    switch (t.base) {
    case BaseType::TinyInt:
    case BaseType::SmallInt:
    case BaseType::Int:
    case BaseType::BigInt: {
        const int size = t.base == BaseType::TinyInt    ? 1
                         : t.base == BaseType::SmallInt ? 2
                         : t.base == BaseType::Int      ? 4
                                                        : 8;
        if (null) {
            w.u8(0);
            return;
        }
        w.u8(static_cast<uint8_t>(size));
        writeLittleEndian(w, static_cast<uint64_t>(asInteger(v)), size);
        return;
    }
    case BaseType::Bit:
        if (null) {
            w.u8(0);
            return;
        }
        w.u8(1);
        w.u8(asInteger(v) != 0 ? 1 : 0);
        return;
    case BaseType::Decimal:
    case BaseType::Numeric: {
        if (null) {
            w.u8(0);
            return;
        }
        const uint8_t size = decimalBytes(t.precision);
        Int128 m = asScaled(v, t.scale);
        w.u8(size);
        w.u8(m < 0 ? 0 : 1);
        if (m < 0) m = -m;
        const auto u = static_cast<unsigned __int128>(m);
        writeLittleEndian(w, static_cast<uint64_t>(u), std::min<int>(8, size - 1));
        if (size - 1 > 8) writeLittleEndian(w, static_cast<uint64_t>(u >> 64), size - 1 - 8);
        return;
    }
    case BaseType::Money:
    case BaseType::SmallMoney: {
        if (null) {
            w.u8(0);
            return;
        }
        const auto m = static_cast<int64_t>(asScaled(v, 4));
        if (t.base == BaseType::SmallMoney) {
            w.u8(4);
            w.u32(static_cast<uint32_t>(static_cast<int32_t>(m)));
        } else {
            w.u8(8);
            w.u32(static_cast<uint32_t>(static_cast<uint64_t>(m) >> 32));
            w.u32(static_cast<uint32_t>(m));
        }
        return;
    }
    case BaseType::Float: {
        if (null) {
            w.u8(0);
            return;
        }
        const double d = asDouble(v);
        uint64_t bits;
        std::memcpy(&bits, &d, 8);
        w.u8(8);
        w.u64(bits);
        return;
    }
    case BaseType::Real: {
        if (null) {
            w.u8(0);
            return;
        }
        const float f = static_cast<float>(asDouble(v));
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        w.u8(4);
        w.u32(bits);
        return;
    }
    case BaseType::DateTime:
    case BaseType::SmallDateTime: {
        if (null) {
            w.u8(0);
            return;
        }
        const DateTimeParts p = asDateTime(v);
        const int64_t days = daysFromCivil(p.year, p.month, p.day) - daysFromCivil(1900, 1, 1);
        if (t.base == BaseType::SmallDateTime) {
            w.u8(4);
            w.u16(static_cast<uint16_t>(days));
            w.u16(static_cast<uint16_t>(p.hour * 60 + p.minute));
        } else {
            const int64_t ms = ((p.hour * 60 + p.minute) * 60 + p.second) * 1000LL + p.millis;
            w.u8(8);
            w.u32(static_cast<uint32_t>(static_cast<int32_t>(days)));
            w.u32(static_cast<uint32_t>((ms * 300 + 500) / 1000));
        }
        return;
    }
    case BaseType::Date: {
        const DateTimeParts p = asDateTime(v);
        if (tdsVersion >= Tds73) {
            if (null) {
                w.u8(0);
                return;
            }
            w.u8(3);
            writeLittleEndian(w, static_cast<uint64_t>(daysFromCivil(p.year, p.month, p.day) - daysFromCivil(1, 1, 1)),
                              3);
        } else {
            if (null) {
                w.u16(0xFFFF);
                return;
            }
            const std::string wide = utf8ToUtf16le(formatDate(p));
            w.u16(static_cast<uint16_t>(wide.size()));
            w.bytes(wide);
        }
        return;
    }
    case BaseType::NVarChar:
    case BaseType::VarChar:
    case BaseType::NChar:
    case BaseType::Char: {
        const bool unicode = t.isUnicodeText();
        const uint16_t maxBytes = unicode ? wideMaxBytes(t) : narrowMaxBytes(t);
        const bool isMax = maxBytes == 0xFFFF;
        if (null) {
            if (isMax)
                w.u64(~0ULL);
            else
                w.u16(0xFFFF);
            return;
        }
        std::string bytes = unicode ? utf8ToUtf16le(textOf(v)) : toCodePage(textOf(v), collationOf(t).codePage);
        if ((t.base == BaseType::NChar || t.base == BaseType::Char) && !isMax) {
            // Fixed-width text is padded with blanks to its width.
            while (bytes.size() < maxBytes) bytes.append(unicode ? std::string(" \0", 2) : std::string(" "));
        }
        if (isMax) {
            writePlp(w, bytes);
        } else {
            if (bytes.size() > maxBytes) bytes.resize(maxBytes);
            w.u16(static_cast<uint16_t>(bytes.size()));
            w.bytes(bytes);
        }
        return;
    }
    case BaseType::NText:
    case BaseType::Text:
        if (null) {
            w.u8(0);
            return;
        }
        writeLegacyLob(
            w, t.base == BaseType::Text ? toCodePage(textOf(v), collationOf(t).codePage) : utf8ToUtf16le(textOf(v)));
        return;
    case BaseType::Image:
        if (null) {
            w.u8(0);
            return;
        }
        writeLegacyLob(w, v.s);
        return;
    case BaseType::UniqueIdentifier:
        if (null) {
            w.u8(0);
            return;
        }
        w.u8(16);
        w.bytes(guidBytes(textOf(v)));
        return;
    case BaseType::VarBinary:
    case BaseType::Binary: {
        const bool isMax = t.base == BaseType::VarBinary && (t.length == SqlType::MaxLength || t.length > 8000);
        if (null) {
            if (isMax)
                w.u64(~0ULL);
            else
                w.u16(0xFFFF);
            return;
        }
        std::string bytes = v.kind == Value::Kind::Blob ? v.s : textOf(v);
        if (t.base == BaseType::Binary && t.length > 0) bytes.resize(static_cast<size_t>(t.length), '\0');
        if (isMax) {
            writePlp(w, bytes);
        } else {
            if (bytes.size() > 8000) bytes.resize(8000);
            w.u16(static_cast<uint16_t>(bytes.size()));
            w.bytes(bytes);
        }
        return;
    }
    case BaseType::Timestamp: {
        if (null) {
            w.u16(0xFFFF);
            return;
        }
        w.u16(8);
        if (v.kind == Value::Kind::Blob && v.s.size() == 8) {
            w.bytes(v.s);
        } else {
            w.u32be(static_cast<uint32_t>(static_cast<uint64_t>(asInteger(v)) >> 32));
            w.u32be(static_cast<uint32_t>(asInteger(v)));
        }
        return;
    }
    }
}

}  // namespace standin

#include "conversions.h"

#include "datetime_text.h"
#include "numeric_text.h"
#include "sql_error.h"
#include "sql_lexer.h"
#include "text_codec.h"

#include <cctype>
#include <cmath>
#include <limits>

namespace standin {
namespace {

// The T-SQL type name of a source value, as conversion messages show it.
std::string sourceTypeName(const SourceValue& v) {
    switch (v.value.kind) {
    case Value::Kind::Integer: return "int";
    case Value::Kind::Real: return "float";
    case Value::Kind::Blob: return "varbinary";
    case Value::Kind::Text:
        if (v.origin == ValueOrigin::NumberLiteral) return "numeric";
        return v.origin == ValueOrigin::UnicodeLiteral ? "nvarchar" : "varchar";
    case Value::Kind::Null: return "int";
    }
    return "varchar";
}

bool isNumberText(const SourceValue& v) {
    return v.value.kind == Value::Kind::Text && v.origin == ValueOrigin::NumberLiteral;
}

[[noreturn]] void conversionFailed(const SourceValue& v, const std::string& target) {
    fail(245, "Conversion failed when converting the " + sourceTypeName(v) + " value '" + valueText(v.value) +
                  "' to data type " + target + ".");
}

[[noreturn]] void clash(const SourceValue& v, const std::string& target) {
    fail(206, "Operand type clash: " + sourceTypeName(v) + " is incompatible with " + target, 16, 2);
}

Value toInteger(const SourceValue& v, BaseType base) {
    const std::string target = typeBaseName(base);
    long double n = 0;
    switch (v.value.kind) {
    case Value::Kind::Integer: n = static_cast<long double>(v.value.i); break;
    case Value::Kind::Real: n = std::trunc(static_cast<long double>(v.value.r)); break;
    case Value::Kind::Text: {
        if (isNumberText(v)) {
            auto d = parseDecimalText(v.value.s);
            if (!d) conversionFailed(v, target);
            n = static_cast<long double>(d->mantissa / powerOfTen(d->scale));
            break;
        }
        std::string t = v.value.s;
        bool blank = true;
        for (char c : t) blank = blank && std::isspace(static_cast<unsigned char>(c));
        if (blank) {
            n = 0;
            break;
        }
        auto i = parseIntegerText(t);
        if (!i) conversionFailed(v, target);
        n = static_cast<long double>(*i);
        break;
    }
    case Value::Kind::Blob: clash(v, target);
    case Value::Kind::Null: return v.value;
    }
    long double lo = 0, hi = 0;
    switch (base) {
    case BaseType::TinyInt: lo = 0; hi = 255; break;
    case BaseType::SmallInt: lo = -32768; hi = 32767; break;
    case BaseType::Int: lo = std::numeric_limits<int32_t>::min(); hi = std::numeric_limits<int32_t>::max(); break;
    default: lo = static_cast<long double>(std::numeric_limits<int64_t>::min());
             hi = static_cast<long double>(std::numeric_limits<int64_t>::max()); break;
    }
    if (n < lo || n > hi) {
        if (base == BaseType::TinyInt || base == BaseType::SmallInt) {
            fail(220, "Arithmetic overflow error for data type " + target + ", value = " + valueText(v.value) + ".");
        }
        fail(8115, "Arithmetic overflow error converting expression to data type " + target + ".");
    }
    return Value::integer(static_cast<int64_t>(n));
}

Value toBit(const SourceValue& v) {
    switch (v.value.kind) {
    case Value::Kind::Integer: return Value::integer(v.value.i != 0);
    case Value::Kind::Real: return Value::integer(v.value.r != 0);
    case Value::Kind::Text: {
        const std::string t = toLower(v.value.s);
        if (t == "true") return Value::integer(1);
        if (t == "false") return Value::integer(0);
        if (auto d = parseDecimalText(t)) return Value::integer(d->mantissa != 0);
        bool blank = true;
        for (char c : t) blank = blank && std::isspace(static_cast<unsigned char>(c));
        if (blank) return Value::integer(0);
        conversionFailed(v, "bit");
    }
    case Value::Kind::Blob: clash(v, "bit");
    case Value::Kind::Null: return v.value;
    }
    return v.value;
}

Value toExact(const SourceValue& v, const SqlType& type) {
    const bool money = type.base == BaseType::Money || type.base == BaseType::SmallMoney;
    const std::string target = typeBaseName(type.base);
    DecimalNumber d;
    switch (v.value.kind) {
    case Value::Kind::Integer: d.mantissa = v.value.i; break;
    case Value::Kind::Real: d = decimalFromDouble(v.value.r, std::min(type.scale + 1, 18)); break;
    case Value::Kind::Text: {
        std::string t = v.value.s;
        if (money && !t.empty() && (t.front() == '$' || t.front() == '\xA5')) t.erase(0, 1);
        auto parsed = parseDecimalText(t);
        if (!parsed) {
            if (money) fail(235, "Cannot convert a char value to money. The char value has incorrect syntax.");
            fail(8114, "Error converting data type " + sourceTypeName(v) + " to numeric.");
        }
        d = *parsed;
        break;
    }
    case Value::Kind::Blob: clash(v, target);
    case Value::Kind::Null: return v.value;
    }
    const Int128 m = rescale(d, type.scale);
    bool overflow = false;
    if (type.base == BaseType::SmallMoney) {
        overflow = m > 2147483647 || m < -2147483648LL;
    } else if (type.base == BaseType::Money) {
        overflow = m > std::numeric_limits<int64_t>::max() || m < std::numeric_limits<int64_t>::min();
    } else {
        overflow = digitCount(m) > type.precision;
    }
    if (overflow) {
        if (money) fail(8115, "Arithmetic overflow error converting expression to data type " + target + ".");
        fail(8115, "Arithmetic overflow error converting " + sourceTypeName(v) + " to data type numeric.");
    }
    if (type.scale == 0) return Value::integer(static_cast<int64_t>(m));
    return Value::text(formatDecimal(m, type.scale));
}

Value toFloat(const SourceValue& v, BaseType base) {
    switch (v.value.kind) {
    case Value::Kind::Integer: return Value::real(static_cast<double>(v.value.i));
    case Value::Kind::Real: return base == BaseType::Real ? Value::real(static_cast<float>(v.value.r)) : v.value;
    case Value::Kind::Text: {
        bool blank = true;
        for (char c : v.value.s) blank = blank && std::isspace(static_cast<unsigned char>(c));
        if (blank) return Value::real(0);
        auto f = parseFloatText(v.value.s);
        if (!f) fail(8114, "Error converting data type " + sourceTypeName(v) + " to float.");
        return Value::real(base == BaseType::Real ? static_cast<float>(*f) : *f);
    }
    case Value::Kind::Blob: clash(v, typeBaseName(base));
    case Value::Kind::Null: return v.value;
    }
    return v.value;
}

Value toDateTime(const SourceValue& v, BaseType base) {
    const std::string target = typeBaseName(base);
    DateTimeParts p;
    switch (v.value.kind) {
    case Value::Kind::Integer:
    case Value::Kind::Real: {
        if (base == BaseType::Date) clash(v, "date");
        const double days = v.value.kind == Value::Kind::Integer ? static_cast<double>(v.value.i) : v.value.r;
        const double whole = std::floor(days);
        p = civilFromDays(daysFromCivil(1900, 1, 1) + static_cast<int64_t>(whole));
        const int64_t ms = std::llround((days - whole) * 86400000.0);
        p.hour = static_cast<int>(ms / 3600000);
        p.minute = static_cast<int>(ms / 60000 % 60);
        p.second = static_cast<int>(ms / 1000 % 60);
        p.millis = static_cast<int>(ms % 1000);
        break;
    }
    case Value::Kind::Text: {
        bool blank = true;
        for (char c : v.value.s) blank = blank && std::isspace(static_cast<unsigned char>(c));
        if (blank) {
            p = DateTimeParts{};  // '' is 1900-01-01, as SQL Server reads it
            break;
        }
        auto parsed = parseDateTimeText(v.value.s);
        if (!parsed) fail(241, "Conversion failed when converting date and/or time from character string.");
        p = *parsed;
        break;
    }
    case Value::Kind::Blob: clash(v, target);
    case Value::Kind::Null: return v.value;
    }
    if (base == BaseType::Date) return Value::text(formatDate(p));
    if (base == BaseType::SmallDateTime) {
        p = roundToMinute(p);
        if (p.year < 1900 || (p.year > 2079 || (p.year == 2079 && (p.month > 6 || (p.month == 6 && p.day > 6))))) {
            fail(298, "The conversion from " + sourceTypeName(v) +
                          " data type to smalldatetime data type resulted in an out-of-range value.");
        }
        return Value::text(formatDateTime(p));
    }
    p = roundToDateTimeTicks(p);
    if (p.year < 1753) {
        fail(242, "The conversion of a " + sourceTypeName(v) +
                      " data type to a datetime data type resulted in an out-of-range value.", 16, 3);
    }
    return Value::text(formatDateTime(p));
}

Value toText(const SourceValue& v, const SqlType& type) {
    Value out = Value::text(v.value.kind == Value::Kind::Text || v.value.kind == Value::Kind::Blob
                                ? v.value.s
                                : valueText(v.value));
    if (type.length != SqlType::MaxLength) {
        const size_t limit = static_cast<size_t>(type.length);
        if (utf16Length(out.s) > limit) {
            // Trailing blanks beyond the width are dropped silently; anything else is refused.
            std::string trimmed = out.s;
            while (!trimmed.empty() && trimmed.back() == ' ' && utf16Length(trimmed) > limit) trimmed.pop_back();
            if (utf16Length(trimmed) > limit) fail(8152, "String or binary data would be truncated.", 16, 14);
            out.s = trimmed;
        }
    }
    return out;
}

Value toGuid(const SourceValue& v) {
    if (v.value.kind == Value::Kind::Blob && v.value.s.size() == 16) {
        static const char* hex = "0123456789ABCDEF";
        const std::string& b = v.value.s;
        const int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
        std::string out;
        for (int k = 0; k < 16; ++k) {
            if (k == 4 || k == 6 || k == 8 || k == 10) out.push_back('-');
            const auto c = static_cast<unsigned char>(b[static_cast<size_t>(order[k])]);
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        }
        return Value::text(out);
    }
    if (v.value.kind != Value::Kind::Text) clash(v, "uniqueidentifier");
    std::string t = v.value.s;
    while (!t.empty() && std::isspace(static_cast<unsigned char>(t.back()))) t.pop_back();
    if (t.size() == 38 && t.front() == '{' && t.back() == '}') t = t.substr(1, 36);
    bool ok = t.size() == 36;
    for (size_t k = 0; ok && k < t.size(); ++k) {
        const bool dash = k == 8 || k == 13 || k == 18 || k == 23;
        ok = dash ? t[k] == '-' : std::isxdigit(static_cast<unsigned char>(t[k])) != 0;
    }
    if (!ok) fail(8169, "Conversion failed when converting from a character string to uniqueidentifier.");
    for (auto& c : t) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return Value::text(t);
}

Value toBinary(const SourceValue& v, const SqlType& type) {
    std::string bytes;
    switch (v.value.kind) {
    case Value::Kind::Blob: bytes = v.value.s; break;
    case Value::Kind::Integer:
        for (int k = 3; k >= 0; --k) bytes.push_back(static_cast<char>((v.value.i >> (8 * k)) & 0xFF));
        break;
    case Value::Kind::Text:
    case Value::Kind::Real:
        fail(257, "Implicit conversion from data type " + sourceTypeName(v) + " to " + typeBaseName(type.base) +
                      " is not allowed. Use the CONVERT function to run this query.");
    case Value::Kind::Null: return v.value;
    }
    if (type.length != SqlType::MaxLength && bytes.size() > static_cast<size_t>(type.length)) {
        fail(8152, "String or binary data would be truncated.", 16, 14);
    }
    return Value::blob(bytes);
}

}  // namespace

Value convertForColumn(const SourceValue& v, const CatalogColumn& column) {
    if (v.value.isNull()) return v.value;
    const SqlType& t = column.type;
    switch (t.base) {
    case BaseType::TinyInt: case BaseType::SmallInt: case BaseType::Int: case BaseType::BigInt:
        return toInteger(v, t.base);
    case BaseType::Bit: return toBit(v);
    case BaseType::Decimal: case BaseType::Numeric: case BaseType::Money: case BaseType::SmallMoney:
        return toExact(v, t);
    case BaseType::Float: case BaseType::Real: return toFloat(v, t.base);
    case BaseType::DateTime: case BaseType::SmallDateTime: case BaseType::Date: return toDateTime(v, t.base);
    case BaseType::NVarChar: case BaseType::VarChar: case BaseType::NChar: case BaseType::Char:
    case BaseType::NText: case BaseType::Text:
        return toText(v, t);
    case BaseType::UniqueIdentifier: return toGuid(v);
    case BaseType::VarBinary: case BaseType::Binary: case BaseType::Image: return toBinary(v, t);
    case BaseType::Timestamp:
        fail(273, "Cannot insert an explicit value into a timestamp column. Use INSERT with a column list to "
                  "exclude the timestamp column, or insert a DEFAULT into the timestamp column.");
    }
    return v.value;
}

SourceValue literalValue(const Token& t) {
    SourceValue v;
    switch (t.kind) {
    case TokenKind::String:
        v.value = Value::text(t.text);
        v.origin = t.unicode ? ValueOrigin::UnicodeLiteral : ValueOrigin::StringLiteral;
        break;
    case TokenKind::Number:
        v.origin = ValueOrigin::NumberLiteral;
        if (t.text.find_first_of("eE") != std::string::npos) {
            v.value = Value::real(std::strtod(t.text.c_str(), nullptr));
        } else if (t.text.find('.') != std::string::npos) {
            v.value = Value::text(t.text);
        } else if (auto i = parseIntegerText(t.text)) {
            v.value = Value::integer(*i);
        } else {
            v.value = Value::text(t.text);  // beyond bigint: an exact numeric
        }
        break;
    case TokenKind::Binary: {
        std::string hex = t.text.size() % 2 ? "0" + t.text : t.text;
        std::string bytes;
        for (size_t k = 0; k < hex.size(); k += 2) bytes.push_back(static_cast<char>(std::stoi(hex.substr(k, 2), nullptr, 16)));
        v.value = Value::blob(bytes);
        break;
    }
    default: break;
    }
    return v;
}

}  // namespace standin

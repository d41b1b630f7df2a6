#include "conversions.h"

#include "code_page.h"
#include "date_literal.h"
#include "numeric_text.h"
#include "sql_error.h"
#include "sql_lexer.h"
#include "text_codec.h"
#include "text_styles.h"

#include <cctype>
#include <cmath>
#include <limits>

namespace standin {
namespace {

enum class Mode { Assignment, Explicit };

// The T-SQL type name of a source value, as conversion messages show it.
std::string sourceTypeName(const SourceValue& v) {
    if (v.type) return typeBaseName(v.type->base);
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
    return v.value.kind == Value::Kind::Text &&
           (v.origin == ValueOrigin::NumberLiteral || (v.type && v.type->isExactNumeric()));
}

bool isStoredDate(const SourceValue& v) { return v.type && v.type->isDateTime() && v.value.kind == Value::Kind::Text; }

bool isBlank(const std::string& s) {
    for (char c : s) {
        if (!std::isspace(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

[[noreturn]] void conversionFailed(const SourceValue& v, const std::string& target) {
    fail(245, "Conversion failed when converting the " + sourceTypeName(v) + " value '" + valueText(v.value) +
                  "' to data type " + target + ".");
}

[[noreturn]] void clash(const SourceValue& v, const std::string& target) {
    fail(206, "Operand type clash: " + sourceTypeName(v) + " is incompatible with " + target, 16, 2);
}

DateKind dateKindOf(BaseType b) {
    if (b == BaseType::Date) return DateKind::Date;
    return b == BaseType::SmallDateTime ? DateKind::SmallDateTime : DateKind::DateTime;
}

// A datetime as days since 1900-01-01, the fraction being the time of day.
double daysSince1900(const DateTimeParts& p) {
    const auto days = static_cast<double>(daysFromCivil(p.year, p.month, p.day) - daysFromCivil(1900, 1, 1));
    return days + (((p.hour * 60 + p.minute) * 60 + p.second) * 1000.0 + p.millis) / 86400000.0;
}

DateTimeParts storedDate(const SourceValue& v) {
    if (auto p = parseStoredDateTime(v.value.s)) return *p;
    fail(241, "Conversion failed when converting date and/or time from character string.");
}

Value toInteger(const SourceValue& v, BaseType base) {
    const std::string target = typeBaseName(base);
    long double n = 0;
    switch (v.value.kind) {
    case Value::Kind::Integer: n = static_cast<long double>(v.value.i); break;
    case Value::Kind::Real: n = std::trunc(static_cast<long double>(v.value.r)); break;
    case Value::Kind::Text: {
        if (isStoredDate(v)) {
            // A datetime as a whole number of days: from noon on, the next day.
            n = std::floor(static_cast<long double>(daysSince1900(storedDate(v))) + 0.5L);
            break;
        }
        if (isNumberText(v)) {
            auto d = parseDecimalText(v.value.s);
            if (!d) conversionFailed(v, target);
            n = static_cast<long double>(d->mantissa / powerOfTen(d->scale));
            break;
        }
        if (isBlank(v.value.s)) break;
        auto i = parseIntegerText(v.value.s);
        if (!i) conversionFailed(v, target);
        n = static_cast<long double>(*i);
        break;
    }
    case Value::Kind::Blob: clash(v, target);
    case Value::Kind::Null: return v.value;
    }
    long double lo = 0, hi = 0;
    switch (base) {
    case BaseType::TinyInt:
        lo = 0;
        hi = 255;
        break;
    case BaseType::SmallInt:
        lo = -32768;
        hi = 32767;
        break;
    case BaseType::Int:
        lo = std::numeric_limits<int32_t>::min();
        hi = std::numeric_limits<int32_t>::max();
        break;
    default:
        lo = static_cast<long double>(std::numeric_limits<int64_t>::min());
        hi = static_cast<long double>(std::numeric_limits<int64_t>::max());
        break;
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
        if (isBlank(t)) return Value::integer(0);
        conversionFailed(v, "bit");
    }
    case Value::Kind::Blob: clash(v, "bit");
    case Value::Kind::Null: return v.value;
    }
    return v.value;
}

[[noreturn]] void exactOverflow(const SourceValue& v, const SqlType& type) {
    const bool money = type.base == BaseType::Money || type.base == BaseType::SmallMoney;
    if (money)
        fail(8115, "Arithmetic overflow error converting expression to data type " + typeBaseName(type.base) + ".");
    fail(8115, "Arithmetic overflow error converting " + sourceTypeName(v) + " to data type numeric.");
}

Value toExact(const SourceValue& v, const SqlType& type) {
    const bool money = type.base == BaseType::Money || type.base == BaseType::SmallMoney;
    DecimalNumber d;
    switch (v.value.kind) {
    case Value::Kind::Integer: d.mantissa = v.value.i; break;
    case Value::Kind::Real: {
        auto exact = decimalFromDouble(v.value.r, type.scale);
        if (!exact) exactOverflow(v, type);
        d = *exact;
        break;
    }
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
    case Value::Kind::Blob: clash(v, typeBaseName(type.base));
    case Value::Kind::Null: return v.value;
    }
    if (digitCount(d.mantissa) - d.scale > 38) exactOverflow(v, type);
    const Int128 m = rescale(d, type.scale);
    bool overflow = false;
    if (type.base == BaseType::SmallMoney) {
        overflow = m > 2147483647 || m < -2147483648LL;
    } else if (type.base == BaseType::Money) {
        overflow = m > std::numeric_limits<int64_t>::max() || m < std::numeric_limits<int64_t>::min();
    } else {
        overflow = digitCount(m) > type.precision;
    }
    if (overflow) exactOverflow(v, type);
    // Kept as exact text (SQLite would turn a fraction into a double);
    // whole numbers within 64 bits stay integers, as identity values need.
    if (type.scale == 0 && m >= std::numeric_limits<int64_t>::min() && m <= std::numeric_limits<int64_t>::max()) {
        return Value::integer(static_cast<int64_t>(m));
    }
    return Value::text(formatDecimal(m, type.scale));
}

Value toFloat(const SourceValue& v, BaseType base) {
    const auto narrow = [base](double d) {
        return base == BaseType::Real ? static_cast<double>(static_cast<float>(d)) : d;
    };
    switch (v.value.kind) {
    case Value::Kind::Integer: return Value::real(narrow(static_cast<double>(v.value.i)));
    case Value::Kind::Real: return Value::real(narrow(v.value.r));
    case Value::Kind::Text: {
        if (isStoredDate(v)) return Value::real(daysSince1900(storedDate(v)));
        if (isBlank(v.value.s)) return Value::real(0);
        auto f = parseFloatText(v.value.s);
        if (!f) fail(8114, "Error converting data type " + sourceTypeName(v) + " to float.");
        return Value::real(narrow(*f));
    }
    case Value::Kind::Blob: clash(v, typeBaseName(base));
    case Value::Kind::Null: return v.value;
    }
    return v.value;
}

DateTimeParts fromDays(double days) {
    const double whole = std::floor(days);
    DateTimeParts p = civilFromDays(daysFromCivil(1900, 1, 1) + static_cast<int64_t>(whole));
    const int64_t ms = std::llround((days - whole) * 86400000.0);
    p.hour = static_cast<int>(ms / 3600000);
    p.minute = static_cast<int>(ms / 60000 % 60);
    p.second = static_cast<int>(ms / 1000 % 60);
    p.millis = static_cast<int>(ms % 1000);
    return p;
}

[[noreturn]] void dateOutOfRange(const SourceValue& v, BaseType base) {
    if (v.value.kind == Value::Kind::Text && !isStoredDate(v)) {
        fail(242,
             "The conversion of a " + sourceTypeName(v) + " data type to a " + typeBaseName(base) +
                 " data type resulted in an out-of-range value.",
             16, 3);
    }
    fail(298,
         "The conversion from " + sourceTypeName(v) + " data type to " + typeBaseName(base) +
             " data type resulted in an out-of-range value.",
         16, 1);
}

// The date and time `p` rounded and range-checked for `base`.
Value keepAs(DateTimeParts p, const SourceValue& v, BaseType base) {
    switch (base) {
    case BaseType::Date: return Value::text(formatDate(p));
    case BaseType::SmallDateTime:
        p = roundToMinute(p);
        if (p.year < 1900 || p.year > 2079 || (p.year == 2079 && (p.month > 6 || (p.month == 6 && p.day > 6)))) {
            dateOutOfRange(v, base);
        }
        return Value::text(formatDateTime(p));
    default:
        p = roundToDateTimeTicks(p);
        if (p.year < 1753 || p.year > 9999) dateOutOfRange(v, base);
        return Value::text(formatDateTime(p));
    }
}

Value toDateTime(const SourceValue& v, BaseType base, std::optional<int> style, const ConversionContext& context) {
    switch (v.value.kind) {
    case Value::Kind::Integer:
    case Value::Kind::Real: {
        if (base == BaseType::Date) clash(v, "date");
        return keepAs(fromDays(v.value.kind == Value::Kind::Integer ? static_cast<double>(v.value.i) : v.value.r), v,
                      base);
    }
    case Value::Kind::Text: {
        if (isStoredDate(v)) return keepAs(storedDate(v), v, base);
        if (isNumberText(v)) {
            if (base == BaseType::Date) clash(v, "date");
            return keepAs(fromDays(parseFloatText(v.value.s).value_or(0)), v, base);
        }
        DateSettings dates = context.dates;
        if (style) {
            if (auto order = styleDateOrder(*style)) dates.order = *order;
        }
        const DateLiteral read = readDateLiteral(v.value.s, dates, dateKindOf(base));
        if (read.error == 242) dateOutOfRange(v, base);
        if (!read.value) fail(241, "Conversion failed when converting date and/or time from character string.");
        return Value::text(base == BaseType::Date ? formatDate(*read.value) : formatDateTime(*read.value));
    }
    case Value::Kind::Blob: clash(v, typeBaseName(base));
    case Value::Kind::Null: return v.value;
    }
    return v.value;
}

// The text SQL Server writes for `v` when it becomes a string.
std::string textOf(const SourceValue& v, std::optional<int> style, const ConversionContext& context) {
    const int s = style.value_or(0);
    if (v.type && v.value.kind == Value::Kind::Text && v.type->isDateTime()) {
        auto p = parseStoredDateTime(v.value.s);
        if (!p) return v.value.s;
        const DateKind kind = dateKindOf(v.type->base);
        auto text = formatDateStyle(*p, kind, s, *context.dates.language);
        if (!text) {
            fail(281, std::to_string(s) + " is not a valid style number when converting from " +
                          typeBaseName(v.type->base) + " to a character string.");
        }
        return *text;
    }
    if (v.type && (v.type->base == BaseType::Money || v.type->base == BaseType::SmallMoney)) {
        auto d = parseDecimalText(valueText(v.value));
        if (d) {
            auto text = formatMoneyStyle(rescale(*d, 4), s);
            if (!text)
                fail(281, std::to_string(s) +
                              " is not a valid style number when converting from money to a character string.");
            return *text;
        }
    }
    if (v.value.kind == Value::Kind::Real) {
        auto text = formatFloatStyle(v.value.r, s);
        if (!text)
            fail(281,
                 std::to_string(s) + " is not a valid style number when converting from float to a character string.");
        return *text;
    }
    if (v.value.kind == Value::Kind::Blob) return v.value.s;
    return valueText(v.value);
}

// The longest start of `text` whose code-page form fits in `bytes`.
std::string codePagePrefix(const std::string& text, size_t bytes, int codePage) {
    size_t used = 0, i = 0;
    while (i < text.size()) {
        size_t next = i + 1;
        while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80) ++next;
        const size_t size = toCodePage(text.substr(i, next - i), codePage).size();
        if (used + size > bytes) break;
        used += size;
        i = next;
    }
    return text.substr(0, i);
}

Value toText(const SourceValue& v, const SqlType& type, Mode mode, std::optional<int> style,
             const ConversionContext& context) {
    std::string text = textOf(v, style, context);
    // nvarchar counts UTF-16 units; varchar, char and text hold their
    // collation's code page ('?' for what it lacks) and count its bytes.
    const bool unicode = type.isUnicodeText();
    const int codePage = (type.collation ? type.collation : context.collation)->codePage;
    if (!unicode) text = throughCodePage(text, codePage);
    const auto length = [&](const std::string& t) { return unicode ? utf16Length(t) : toCodePage(t, codePage).size(); };
    if (type.length != SqlType::MaxLength) {
        const size_t limit = static_cast<size_t>(type.length);
        if (mode == Mode::Explicit) {
            if (length(text) > limit) text = unicode ? utf16Prefix(text, limit) : codePagePrefix(text, limit, codePage);
        } else if (length(text) > limit) {
            // Trailing blanks beyond the width are dropped silently; anything else is refused.
            while (!text.empty() && text.back() == ' ' && length(text) > limit) text.pop_back();
            if (length(text) > limit) fail(8152, "String or binary data would be truncated.", 16, 14);
        }
        // char and nchar hold their full width, padded with blanks.
        if (type.base == BaseType::Char || type.base == BaseType::NChar) {
            const size_t have = length(text);
            if (have < limit) text.append(limit - have, ' ');
        }
    }
    return Value::text(text);
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

Value toBinary(const SourceValue& v, const SqlType& type, Mode mode, const ConversionContext& context) {
    std::string bytes;
    switch (v.value.kind) {
    case Value::Kind::Blob: bytes = v.value.s; break;
    case Value::Kind::Integer:
        for (int k = 3; k >= 0; --k) bytes.push_back(static_cast<char>((v.value.i >> (8 * k)) & 0xFF));
        break;
    case Value::Kind::Text:
        if (mode == Mode::Explicit) {
            const bool wide = v.origin == ValueOrigin::UnicodeLiteral || (v.type && v.type->isUnicodeText());
            bytes = wide ? utf8ToUtf16le(v.value.s) : toCodePage(v.value.s, context.collation->codePage);
            break;
        }
        [[fallthrough]];
    case Value::Kind::Real:
        fail(257, "Implicit conversion from data type " + sourceTypeName(v) + " to " + typeBaseName(type.base) +
                      " is not allowed. Use the CONVERT function to run this query.");
    case Value::Kind::Null: return v.value;
    }
    if (type.length != SqlType::MaxLength && bytes.size() > static_cast<size_t>(type.length)) {
        if (mode == Mode::Assignment) fail(8152, "String or binary data would be truncated.", 16, 14);
        bytes.resize(static_cast<size_t>(type.length));
    }
    return Value::blob(bytes);
}

Value convert(const SourceValue& source, const SqlType& t, Mode mode, std::optional<int> style,
              const ConversionContext& context) {
    if (source.value.isNull()) return source.value;
    // A '...' literal is varchar: it holds only what the database's code page can.
    SourceValue v = source;
    if (v.origin == ValueOrigin::StringLiteral && v.value.kind == Value::Kind::Text) {
        v.value.s = throughCodePage(v.value.s, context.collation->codePage);
    }
    switch (t.base) {
    case BaseType::TinyInt:
    case BaseType::SmallInt:
    case BaseType::Int:
    case BaseType::BigInt: return toInteger(v, t.base);
    case BaseType::Bit: return toBit(v);
    case BaseType::Decimal:
    case BaseType::Numeric:
    case BaseType::Money:
    case BaseType::SmallMoney: return toExact(v, t);
    case BaseType::Float:
    case BaseType::Real: return toFloat(v, t.base);
    case BaseType::DateTime:
    case BaseType::SmallDateTime:
    case BaseType::Date: return toDateTime(v, t.base, style, context);
    case BaseType::NVarChar:
    case BaseType::VarChar:
    case BaseType::NChar:
    case BaseType::Char:
    case BaseType::NText:
    case BaseType::Text: return toText(v, t, mode, style, context);
    case BaseType::UniqueIdentifier: return toGuid(v);
    case BaseType::VarBinary:
    case BaseType::Binary:
    case BaseType::Image: return toBinary(v, t, mode, context);
    case BaseType::Timestamp:
        if (mode == Mode::Explicit) return toBinary(v, t, mode, context);
        fail(273,
             "Cannot insert an explicit value into a timestamp column. Use INSERT with a column list to "
             "exclude the timestamp column, or insert a DEFAULT into the timestamp column.");
    }
    return v.value;
}

}  // namespace

Value convertForColumn(const SourceValue& v, const CatalogColumn& column, const ConversionContext& context) {
    return convert(v, column.type, Mode::Assignment, std::nullopt, context);
}

Value convertExplicit(const SourceValue& v, const SqlType& target, std::optional<int> style,
                      const ConversionContext& context) {
    return convert(v, target, Mode::Explicit, style, context);
}

SourceValue literalValue(const Token& t) {
    SourceValue v;
    if (t.kind == TokenKind::Number && t.text.find_first_of("eE") == std::string::npos) {
        size_t digits = 0;
        for (char c : t.text) digits += std::isdigit(static_cast<unsigned char>(c)) ? 1 : 0;
        if (digits > 38) {
            fail(1007,
                 "The number '" + t.text + "' is out of the range for numeric representation (maximum precision 38).",
                 15);
        }
    }
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
        for (size_t k = 0; k < hex.size(); k += 2)
            bytes.push_back(static_cast<char>(std::stoi(hex.substr(k, 2), nullptr, 16)));
        v.value = Value::blob(bytes);
        break;
    }
    default: break;
    }
    return v;
}

std::optional<SourceValue> literalIn(const StatementText& s, size_t from, size_t to) {
    const auto isLiteral = [](const Token& t) {
        return t.kind == TokenKind::String || t.kind == TokenKind::Number || t.kind == TokenKind::Binary;
    };
    if (to == from + 1 && isLiteral(s.at(from))) return literalValue(s.at(from));
    if (to != from + 2 || s.at(from + 1).kind != TokenKind::Number) return std::nullopt;
    if (!s.at(from).isSymbol("-") && !s.at(from).isSymbol("+")) return std::nullopt;
    Token signedNumber = s.at(from + 1);
    if (s.at(from).isSymbol("-")) signedNumber.text.insert(0, "-");
    return literalValue(signedNumber);
}

}  // namespace standin

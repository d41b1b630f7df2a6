#include "text_styles.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace standin {
namespace {

std::string twoDigits(int v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", v % 100);
    return buf;
}

std::string fourDigits(int v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04d", v);
    return buf;
}

std::string timeOfDay(const DateTimeParts& p) {
    return twoDigits(p.hour) + ":" + twoDigits(p.minute) + ":" + twoDigits(p.second);
}

std::string millis(const DateTimeParts& p) {
    char buf[8];
    std::snprintf(buf, sizeof buf, ".%03d", p.millis);
    return buf;
}

// 'Feb  3 2001  4:05AM': day and hour padded with blanks to two places.
std::string defaultStyle(const DateTimeParts& p, const Language& language) {
    char buf[48];
    const int hour12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
    std::snprintf(buf, sizeof buf, "%s %2d %04d %2d:%02d%s", language.shortMonths[static_cast<size_t>(p.month - 1)],
                  p.day, p.year, hour12, p.minute, p.hour < 12 ? "AM" : "PM");
    return buf;
}

// Writes the exponent with at least three digits, as SQL Server does.
std::string widenExponent(std::string s) {
    const auto e = s.find('e');
    if (e == std::string::npos || e + 2 >= s.size()) return s;
    std::string digits = s.substr(e + 2);
    while (digits.size() < 3) digits.insert(digits.begin(), '0');
    return s.substr(0, e + 2) + digits;
}

std::string withThousands(std::string digits) {
    for (int k = static_cast<int>(digits.size()) - 3; k > 0; k -= 3) digits.insert(static_cast<size_t>(k), ",");
    return digits;
}

}  // namespace

std::optional<std::string> formatDateStyle(const DateTimeParts& p, DateKind kind, int style, const Language& language) {
    const bool century = style >= 100;
    const std::string y = century ? fourDigits(p.year) : twoDigits(p.year);
    const std::string m = twoDigits(p.month), d = twoDigits(p.day);
    const std::string iso = fourDigits(p.year) + "-" + m + "-" + d;
    const bool dateOnly = kind == DateKind::Date;
    switch (style) {
    case 0:
    case 100: return dateOnly ? iso : defaultStyle(p, language);
    case 1:
    case 101: return m + "/" + d + "/" + y;
    case 2:
    case 102: return y + "." + m + "." + d;
    case 3:
    case 103: return d + "/" + m + "/" + y;
    case 4:
    case 104: return d + "." + m + "." + y;
    case 5:
    case 105: return d + "-" + m + "-" + y;
    case 8:
    case 108: return dateOnly ? std::nullopt : std::optional<std::string>(timeOfDay(p));
    case 10:
    case 110: return m + "-" + d + "-" + y;
    case 11:
    case 111: return y + "/" + m + "/" + d;
    case 12:
    case 112: return y + m + d;
    case 20:
    case 120: return dateOnly ? iso : iso + " " + timeOfDay(p);
    case 21:
    case 121: return dateOnly ? iso : iso + " " + timeOfDay(p) + millis(p);
    case 23: return iso;
    case 126:
        if (dateOnly) return iso;
        return iso + "T" + timeOfDay(p) + (p.millis != 0 ? millis(p) : std::string());
    default: return std::nullopt;
    }
}

std::optional<std::string> formatFloatStyle(double v, int style) {
    char buf[64];
    switch (style) {
    case 0: std::snprintf(buf, sizeof buf, "%.6g", v); break;
    case 1: std::snprintf(buf, sizeof buf, "%.7e", v); break;
    case 2: std::snprintf(buf, sizeof buf, "%.15e", v); break;
    case 3: std::snprintf(buf, sizeof buf, "%.17g", v); break;
    default: return std::nullopt;
    }
    return widenExponent(buf);
}

std::optional<std::string> formatMoneyStyle(Int128 mantissa, int style) {
    switch (style) {
    case 0: return formatDecimal(rescale({mantissa, 4}, 2), 2);
    case 1: {
        const std::string plain = formatDecimal(rescale({mantissa, 4}, 2), 2);
        const bool negative = plain.front() == '-';
        const auto point = plain.find('.');
        const std::string whole = plain.substr(negative ? 1 : 0, point - (negative ? 1 : 0));
        return (negative ? "-" : "") + withThousands(whole) + plain.substr(point);
    }
    case 2:
    case 126: return formatDecimal(mantissa, 4);
    default: return std::nullopt;
    }
}

}  // namespace standin

#include "numeric_text.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <algorithm>

namespace standin {
namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

}  // namespace

Int128 powerOfTen(int n) {
    Int128 p = 1;
    for (int k = 0; k < n; ++k) p *= 10;
    return p;
}

int digitCount(Int128 v) {
    if (v < 0) v = -v;
    int n = 1;
    while (v >= 10) {
        v /= 10;
        ++n;
    }
    return n;
}

std::optional<DecimalNumber> parseDecimalText(std::string_view text) {
    std::string_view s = trimmed(text);
    if (s.empty()) return std::nullopt;
    bool negative = false;
    if (s.front() == '+' || s.front() == '-') {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    DecimalNumber d;
    bool digits = false, point = false;
    for (char c : s) {
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        digits = true;
        if (d.mantissa > powerOfTen(37)) return std::nullopt;  // beyond 38 digits
        d.mantissa = d.mantissa * 10 + (c - '0');
        if (point) ++d.scale;
    }
    if (!digits) return std::nullopt;
    if (negative) d.mantissa = -d.mantissa;
    return d;
}

std::optional<DecimalNumber> decimalFromDouble(double v, int scale) {
    // Through its full decimal expansion, so that large values neither
    // overflow a 64-bit integer nor lose digits; beyond 38 digits: nothing.
    if (!std::isfinite(v)) return std::nullopt;
    char buf[512];
    std::snprintf(buf, sizeof buf, "%.*f", std::min(scale + 1, 38), v);
    auto d = parseDecimalText(buf);
    if (!d) return std::nullopt;
    return DecimalNumber{rescale(*d, scale), scale};
}

int compareDecimals(const DecimalNumber& a, const DecimalNumber& b) {
    // Whole parts first, then the fractions at the larger scale: neither
    // step can overflow for 38-digit values.
    const Int128 wholeA = a.mantissa / powerOfTen(a.scale), wholeB = b.mantissa / powerOfTen(b.scale);
    if (wholeA != wholeB) return wholeA < wholeB ? -1 : 1;
    const int scale = std::max(a.scale, b.scale);
    const Int128 fracA = (a.mantissa % powerOfTen(a.scale)) * powerOfTen(scale - a.scale);
    const Int128 fracB = (b.mantissa % powerOfTen(b.scale)) * powerOfTen(scale - b.scale);
    return fracA < fracB ? -1 : fracA > fracB ? 1 : 0;
}

Int128 rescale(const DecimalNumber& d, int scale) {
    if (scale >= d.scale) return d.mantissa * powerOfTen(scale - d.scale);
    const Int128 div = powerOfTen(d.scale - scale);
    Int128 q = d.mantissa / div;
    Int128 r = d.mantissa % div;
    if (r < 0) r = -r;
    if (r * 2 >= div) q += d.mantissa < 0 ? -1 : 1;
    return q;
}

std::string formatDecimal(Int128 mantissa, int scale) {
    const bool negative = mantissa < 0;
    if (negative) mantissa = -mantissa;
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(mantissa % 10)));
        mantissa /= 10;
    } while (mantissa > 0);
    while (static_cast<int>(digits.size()) <= scale) digits.insert(digits.begin(), '0');
    if (scale > 0) digits.insert(digits.end() - scale, '.');
    return negative ? "-" + digits : digits;
}

std::optional<long long> parseIntegerText(std::string_view text) {
    std::string_view s = trimmed(text);
    if (s.empty()) return std::nullopt;
    size_t i = (s.front() == '+' || s.front() == '-') ? 1 : 0;
    if (i == s.size()) return std::nullopt;
    for (size_t k = i; k < s.size(); ++k) {
        if (!std::isdigit(static_cast<unsigned char>(s[k]))) return std::nullopt;
    }
    errno = 0;
    std::string copy(s);
    long long v = std::strtoll(copy.c_str(), nullptr, 10);
    if (errno == ERANGE) return std::nullopt;
    return v;
}

std::optional<double> parseFloatText(std::string_view text) {
    std::string_view s = trimmed(text);
    if (s.empty()) return std::nullopt;
    for (char c : s) {
        if (!std::isdigit(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '+' && c != 'e' && c != 'E') {
            return std::nullopt;
        }
    }
    std::string copy(s);
    char* end = nullptr;
    double v = std::strtod(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size()) return std::nullopt;
    return v;
}

}  // namespace standin

#pragma once
// Exact decimal numbers for decimal, numeric and money values: parsed from
// text, rescaled with rounding, formatted back.
#include <optional>
#include <string>
#include <string_view>

namespace standin {

using Int128 = __int128;

struct DecimalNumber {
    Int128 mantissa = 0;  // value = mantissa / 10^scale
    int scale = 0;
};

// "[+-]digits[.digits]" with optional surrounding spaces; nothing else.
std::optional<DecimalNumber> parseDecimalText(std::string_view text);
// A double as a decimal with `scale` places (rounded half away from zero);
// nothing when it has no such form (infinite, or beyond 38 digits).
std::optional<DecimalNumber> decimalFromDouble(double v, int scale);
// -1, 0 or 1 as a is less than, equal to or greater than b.
int compareDecimals(const DecimalNumber& a, const DecimalNumber& b);
// The mantissa at another scale, rounded half away from zero.
Int128 rescale(const DecimalNumber& d, int scale);
std::string formatDecimal(Int128 mantissa, int scale);
// Number of digits of |v| (1 for 0).
int digitCount(Int128 v);
Int128 powerOfTen(int n);

// Integer text: "[+-]digits" with optional surrounding spaces.
std::optional<long long> parseIntegerText(std::string_view text);
// Any number SQL Server reads as float: digits, point, exponent.
std::optional<double> parseFloatText(std::string_view text);

}  // namespace standin

#pragma once
// How the import recognises numbers and dates in the cells of a source file.
#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace dovrel::exchange::detail {

// True for an optional sign, digits with an optional decimal point, and an
// optional exponent, with blanks allowed before and after: "12", "-3.5",
// " +.5 ", "5.", "1e-3". ".5" and "5." count, as SQL Server reads both as
// literals; "." alone, thousands separators, currency signs, "&H" and other
// hexadecimal forms do not. A text that passes can be copied into a
// statement as it stands.
bool isStrictNumber(std::string_view text);

// A calendar date written year first, with blanks allowed around it:
//   2001-2-3, 2001/2/3, 2001.2.3 (the same separator twice), 2001年2月3日;
// optionally followed by a time of day, after blanks (after "T" too for the
// "-" form, nothing needed after 日):
//   10:05, 10:05:09, 10:05:09.250, 10时5分, 10时5分9秒, each with AM/PM after
//   it or 上午/下午 before it (hours 1 to 12 then).
// The year has four digits, month and day one or two; dates and times that
// do not exist (2001-02-30, 24:00) are refused, and so are fractions finer
// than a millisecond (they would be lost). Day-first and two-digit-year
// forms are refused as ambiguous.
//
// The result is "YYYY-MM-DD hh:mm:ss", with ".fff" only when the fraction
// is not zero (held without an allocation, as the import formats a date per
// cell); nullopt when the text is not such a date.
struct DateTimeText {
    std::array<char, 24> chars{};
    std::size_t size = 0;
    std::string_view view() const { return {chars.data(), size}; }
};
std::optional<DateTimeText> formatDateTime(std::string_view text);

}  // namespace dovrel::exchange::detail

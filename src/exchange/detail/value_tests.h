#pragma once
// How the import recognises numbers and dates in the cells of a source file.
#include <array>
#include <optional>
#include <string_view>

namespace dovrel::exchange::detail {

// True for an optional sign, digits with an optional decimal point, and an
// optional exponent: "12", "-3.5", "+.5", "5.", "1e-3". ".5" and "5." count,
// as SQL Server reads both as literals; "." alone, blanks, thousands
// separators, currency signs and hexadecimal do not. A text that passes can
// be copied into a statement as it stands.
bool isStrictNumber(std::string_view text);

// A calendar date written year-month-day with "-" or "/" (the same one twice;
// a four-digit year, one- or two-digit month and day), optionally followed by
// one space and a time of day hh:mm or hh:mm:ss (24-hour, hours of one or two
// digits). Dates that do not exist (2001-02-30) are refused. The result is
// "YYYY-MM-DD hh:mm:ss" (held without an allocation, as the import formats a
// date per cell); nullopt when the text is not such a date.
struct DateTimeText {
    std::array<char, 20> chars{};   // the 19 characters and a terminating NUL
    std::string_view view() const { return {chars.data(), 19}; }
};
std::optional<DateTimeText> formatDateTime(std::string_view text);

}  // namespace dovrel::exchange::detail

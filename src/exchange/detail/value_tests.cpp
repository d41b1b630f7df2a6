#include "exchange/detail/value_tests.h"

namespace dovrel::exchange::detail {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads one to `maxDigits` digits at `pos` into `value`; false when none.
bool readNumber(std::string_view text, std::size_t& pos, std::size_t minDigits, std::size_t maxDigits, int& value) {
    std::size_t start = pos;
    value = 0;
    while (pos < text.size() && pos - start < maxDigits && isDigit(text[pos])) value = value * 10 + (text[pos++] - '0');
    std::size_t count = pos - start;
    if (pos < text.size() && isDigit(text[pos])) return false;  // more digits than allowed
    return count >= minDigits && count > 0;
}

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

}  // namespace

bool isStrictNumber(std::string_view text) {
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
    std::size_t digits = 0;
    while (pos < text.size() && isDigit(text[pos])) ++pos, ++digits;
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        while (pos < text.size() && isDigit(text[pos])) ++pos, ++digits;
    }
    if (digits == 0) return false;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
        std::size_t exponentDigits = 0;
        while (pos < text.size() && isDigit(text[pos])) ++pos, ++exponentDigits;
        if (exponentDigits == 0) return false;
    }
    return pos == text.size();
}

std::optional<DateTimeText> formatDateTime(std::string_view text) {
    std::size_t pos = 0;
    int year, month, day, hour = 0, minute = 0, second = 0;
    if (!readNumber(text, pos, 4, 4, year) || pos >= text.size()) return std::nullopt;
    char separator = text[pos++];
    if (separator != '-' && separator != '/') return std::nullopt;
    if (!readNumber(text, pos, 1, 2, month) || pos >= text.size() || text[pos++] != separator) return std::nullopt;
    if (!readNumber(text, pos, 1, 2, day)) return std::nullopt;
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month)) return std::nullopt;
    if (pos < text.size()) {
        if (text[pos++] != ' ') return std::nullopt;
        if (!readNumber(text, pos, 1, 2, hour) || pos >= text.size() || text[pos++] != ':') return std::nullopt;
        if (!readNumber(text, pos, 2, 2, minute)) return std::nullopt;
        if (pos < text.size()) {
            if (text[pos++] != ':' || !readNumber(text, pos, 2, 2, second)) return std::nullopt;
        }
        if (pos != text.size() || hour > 23 || minute > 59 || second > 59) return std::nullopt;
    }
    DateTimeText result;
    char* out = result.chars.data();
    auto put = [&out](int value, int digits, char after) {
        for (int d = digits - 1; d >= 0; --d, value /= 10) out[d] = static_cast<char>('0' + value % 10);
        out += digits;
        if (after) *out++ = after;
    };
    put(year, 4, '-'), put(month, 2, '-'), put(day, 2, ' '), put(hour, 2, ':'), put(minute, 2, ':'), put(second, 2, 0);
    return result;
}

}  // namespace dovrel::exchange::detail

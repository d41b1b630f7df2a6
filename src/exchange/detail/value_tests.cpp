#include "exchange/detail/value_tests.h"

namespace dovrel::exchange::detail {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view trimBlanks(std::string_view text) {
    const std::size_t begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos) return {};
    return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

// A left-to-right reader over one cell.
class Cursor {
public:
    explicit Cursor(std::string_view text) : text_(text) {}
    bool atEnd() const { return pos_ == text_.size(); }
    // `minDigits` to `maxDigits` digits, and no digit right after them.
    bool number(std::size_t minDigits, std::size_t maxDigits, int& value) {
        const std::size_t start = pos_;
        value = 0;
        while (pos_ < text_.size() && pos_ - start < maxDigits && isDigit(text_[pos_]))
            value = value * 10 + (text_[pos_++] - '0');
        if (pos_ < text_.size() && isDigit(text_[pos_])) return false;
        return pos_ - start >= minDigits;
    }
    bool take(std::string_view word) {
        if (text_.substr(pos_, word.size()) != word) return false;
        pos_ += word.size();
        return true;
    }
    bool takeAnyCase(std::string_view word) {
        if (text_.size() - pos_ < word.size()) return false;
        for (std::size_t i = 0; i < word.size(); ++i)
            if ((text_[pos_ + i] | 0x20) != word[i]) return false;
        pos_ += word.size();
        return true;
    }
    // Skips blanks; how many there were.
    std::size_t blanks() {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
        return pos_ - start;
    }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }
    void skip() { ++pos_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

struct DateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
};

enum class Form { Dash, Slash, Dot, Chinese };

bool readDate(Cursor& in, DateTime& out, Form& form) {
    if (!in.number(4, 4, out.year)) return false;
    if (in.take("年")) {
        form = Form::Chinese;
        return in.number(1, 2, out.month) && in.take("月") && in.number(1, 2, out.day) && in.take("日");
    }
    const char separator = in.peek();
    if (separator != '-' && separator != '/' && separator != '.') return false;
    form = separator == '-' ? Form::Dash : separator == '/' ? Form::Slash : Form::Dot;
    in.skip();
    if (!in.number(1, 2, out.month) || in.peek() != separator) return false;
    in.skip();
    return in.number(1, 2, out.day);
}

// Seconds' fraction after the point: milliseconds, and only zeros past them.
bool readFraction(Cursor& in, int& millisecond) {
    int digits = 0;
    millisecond = 0;
    for (; isDigit(in.peek()); in.skip(), ++digits) {
        const int digit = in.peek() - '0';
        if (digits < 3)
            millisecond = millisecond * 10 + digit;
        else if (digit != 0)
            return false;
    }
    for (int d = digits; d < 3; ++d) millisecond *= 10;
    return digits > 0;
}

// hh:mm[:ss[.fff]] or hh时[mm分[ss秒]], AM/PM or 上午/下午 allowed around it.
bool readTime(Cursor& in, DateTime& out) {
    int half = 0;  // 1 before noon, 2 after, 0 when not said
    if (in.take("上午"))
        half = 1;
    else if (in.take("下午"))
        half = 2;
    if (half) in.blanks();
    if (!in.number(1, 2, out.hour)) return false;
    if (in.take(":")) {
        if (!in.number(1, 2, out.minute)) return false;
        if (in.take(":")) {
            if (!in.number(1, 2, out.second)) return false;
            if (in.take(".") && !readFraction(in, out.millisecond)) return false;
        }
    } else if (in.take("时") || in.take("点")) {
        if (in.number(1, 2, out.minute)) {
            if (!in.take("分")) return false;
            if (in.number(1, 2, out.second) && !in.take("秒")) return false;
        }
    } else {
        return false;
    }
    if (!half) {
        const std::size_t gap = in.blanks();
        if (in.takeAnyCase("am"))
            half = 1;
        else if (in.takeAnyCase("pm"))
            half = 2;
        else if (gap)
            return false;
    }
    if (half) {
        if (out.hour < 1 || out.hour > 12) return false;
        out.hour = out.hour % 12 + (half == 2 ? 12 : 0);
    }
    return out.hour <= 23 && out.minute <= 59 && out.second <= 59;
}

void put(char*& out, int value, int digits) {
    for (int d = digits - 1; d >= 0; --d, value /= 10) out[d] = static_cast<char>('0' + value % 10);
    out += digits;
}

}  // namespace

bool isStrictNumber(std::string_view text) {
    text = trimBlanks(text);
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
    Cursor in(trimBlanks(text));
    DateTime when;
    Form form{};
    if (!readDate(in, when, form)) return std::nullopt;
    if (when.year < 1 || when.month < 1 || when.month > 12 || when.day < 1 ||
        when.day > daysInMonth(when.year, when.month))
        return std::nullopt;
    if (!in.atEnd()) {
        const bool separated = in.blanks() > 0 || (form == Form::Dash && in.take("T")) || form == Form::Chinese;
        if (!separated || !readTime(in, when) || !in.atEnd()) return std::nullopt;
    }
    DateTimeText result;
    char* out = result.chars.data();
    put(out, when.year, 4), *out++ = '-', put(out, when.month, 2), *out++ = '-', put(out, when.day, 2);
    *out++ = ' ', put(out, when.hour, 2), *out++ = ':', put(out, when.minute, 2), *out++ = ':';
    put(out, when.second, 2);
    if (when.millisecond != 0) *out++ = '.', put(out, when.millisecond, 3);
    result.size = static_cast<std::size_t>(out - result.chars.data());
    return result;
}

}  // namespace dovrel::exchange::detail

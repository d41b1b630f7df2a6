#include "date_literal.h"

#include "text_codec.h"

#include <cctype>
#include <string>
#include <vector>

namespace standin {
namespace {

constexpr int NotADate = 241, OutOfRange = 242;

bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }
bool isAlpha(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

// A run of digits at `i`: its value and length.
struct Number {
    int value = 0;
    int digits = 0;
};

Number readDigits(std::string_view s, size_t& i, int maxDigits = 9) {
    Number n;
    while (i < s.size() && isDigit(s[i]) && n.digits < maxDigits) {
        n.value = n.value * 10 + (s[i] - '0');
        ++n.digits;
        ++i;
    }
    return n;
}

void skipSpaces(std::string_view s, size_t& i) {
    while (i < s.size() && s[i] == ' ') ++i;
}

// AM or PM at `i` (any case): +1 for PM, -1 for AM, 0 for neither.
int readMeridiem(std::string_view s, size_t& i) {
    if (i + 1 >= s.size() || (s[i + 1] != 'M' && s[i + 1] != 'm')) return 0;
    const char c = s[i];
    if (c != 'A' && c != 'a' && c != 'P' && c != 'p') return 0;
    i += 2;
    return c == 'P' || c == 'p' ? 1 : -1;
}

// hh[:mm[:ss[.fffffff | :mmm]]][ ]AM|PM at `i` to the end of the text.
// A colon before the last part means thousandths of a second, a period a
// decimal fraction ('12:30:20:1' is one millisecond past, '12:30:20.1' a
// tenth). datetime and smalldatetime take at most three fraction digits.
bool readTime(std::string_view s, size_t& i, DateTimeParts& p, int maxFractionDigits) {
    const Number hour = readDigits(s, i, 2);
    if (hour.digits == 0) return false;
    p.hour = hour.value;
    bool minutesGiven = false;
    if (i < s.size() && s[i] == ':') {
        ++i;
        const Number minute = readDigits(s, i, 2);
        if (minute.digits == 0) return false;
        p.minute = minute.value;
        minutesGiven = true;
        if (i < s.size() && s[i] == ':') {
            ++i;
            const Number second = readDigits(s, i, 2);
            if (second.digits == 0) return false;
            p.second = second.value;
            if (i < s.size() && (s[i] == '.' || s[i] == ':')) {
                const bool thousandths = s[i] == ':';
                ++i;
                const size_t start = i;
                while (i < s.size() && isDigit(s[i])) ++i;
                const auto digits = static_cast<int>(i - start);
                if (digits == 0 || digits > (thousandths ? 3 : maxFractionDigits)) return false;
                if (thousandths) {
                    p.millis = std::stoi(std::string(s.substr(start, i - start)));
                } else {
                    // Milliseconds, rounded half up from the digits beyond.
                    std::string frac(s.substr(start, i - start));
                    frac.resize(std::max<size_t>(frac.size(), 4), '0');
                    p.millis = std::stoi(frac.substr(0, 3)) + (frac[3] >= '5' ? 1 : 0);
                    if (p.millis == 1000) {
                        p.millis = 999;  // .9995 and up: left to the kind's rounding
                    }
                }
            }
        }
    }
    skipSpaces(s, i);
    const int meridiem = readMeridiem(s, i);
    if (meridiem == 0 && !minutesGiven) return false;  // '4' alone is no time
    if (meridiem != 0) {
        if (p.hour > 12) return false;
        if (meridiem > 0 && p.hour < 12) p.hour += 12;
        if (meridiem < 0 && p.hour == 12) p.hour = 0;
    }
    return p.hour < 24 && p.minute < 60 && p.second < 60;
}

bool monthFirst(DateOrder o) { return o == DateOrder::MDY || o == DateOrder::YMD || o == DateOrder::MYD; }

int windowedYear(const Number& y) {
    // The two digit year cutoff of 2049: 49 is 2049, 50 is 1950.
    if (y.digits > 2) return y.value;
    return y.value < 50 ? 2000 + y.value : 1900 + y.value;
}

// Year, month and day of a numeric date's three parts.
bool orderParts(const Number (&n)[3], DateOrder order, DateKind kind, DateTimeParts& p) {
    int yearAt = -1;
    for (int k = 0; k < 3; ++k) {
        if (n[k].digits == 3 || n[k].digits > 4) return false;
        if (n[k].digits == 4) {
            if (yearAt >= 0) return false;
            yearAt = k;
        }
    }
    int y = 0, m = 0, d = 0;
    if (kind == DateKind::Date && yearAt == 0) {
        y = 0, m = 1, d = 2;  // the ISO order, whatever DATEFORMAT says
    } else if (kind == DateKind::Date && order == DateOrder::YDM) {
        return false;
    } else if (yearAt >= 0) {
        // A four-digit year is the year wherever it stands; month and day
        // keep the order DATEFORMAT gives them.
        y = yearAt;
        const int first = yearAt == 0 ? 1 : 0;
        const int second = yearAt == 2 ? 1 : 2;
        m = monthFirst(order) ? first : second;
        d = monthFirst(order) ? second : first;
    } else {
        static const int positions[6][3] = {{2, 0, 1}, {2, 1, 0}, {0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}};
        const auto& pos = positions[static_cast<int>(order)];  // y, m, d
        y = pos[0], m = pos[1], d = pos[2];
    }
    p.year = windowedYear(n[y]);
    p.month = n[m].value;
    p.day = n[d].value;
    return true;
}

// The month called `word` in the session's language (full or three-letter).
int monthNamed(std::string_view word, const Language& language) {
    for (int k = 0; k < 12; ++k) {
        const std::string_view full = language.months[static_cast<size_t>(k)];
        if (!isAlpha(full.front())) return 0;
        if (equalsIgnoreCase(word, full) || equalsIgnoreCase(word, full.substr(0, 3))) return k + 1;
    }
    return 0;
}

// 'Apr 15 1996', '15 April, 1996', '1996 APR 15' ...: a month name and one
// or two numbers, of which a four-digit one is the year.
bool readAlphabeticDate(std::string_view s, size_t& i, const Language& language, DateTimeParts& p) {
    int month = 0;
    std::vector<Number> numbers;
    for (;;) {
        while (i < s.size() && (s[i] == ' ' || s[i] == ',')) ++i;
        if (i >= s.size()) break;
        const size_t start = i;
        if (isAlpha(s[i])) {
            while (i < s.size() && isAlpha(s[i])) ++i;
            const int named = monthNamed(s.substr(start, i - start), language);
            if (named == 0) {
                i = start;  // AM/PM of a time, or not a date at all
                break;
            }
            if (month != 0) return false;
            month = named;
            continue;
        }
        if (!isDigit(s[i])) break;
        Number n = readDigits(s, i);
        // A number followed by ':' or AM/PM starts the time.
        size_t after = i;
        skipSpaces(s, after);
        if ((i < s.size() && s[i] == ':') || readMeridiem(s, after) != 0) {
            i = start;
            break;
        }
        numbers.push_back(n);
    }
    if (month == 0 || numbers.empty() || numbers.size() > 2) return false;
    p.month = month;
    p.day = 1;
    if (numbers.size() == 1) {
        if (numbers[0].digits != 4) return false;
        p.year = numbers[0].value;
    } else if (numbers[1].digits == 4 || numbers[0].digits != 4) {
        p.day = numbers[0].value;
        p.year = windowedYear(numbers[1]);
    } else {
        p.year = numbers[0].value;
        p.day = numbers[1].value;
    }
    return numbers[0].digits <= 4 && numbers.back().digits <= 4;
}

// The date part at the start of `s`; false when it is none of the forms.
bool readDate(std::string_view s, size_t& i, const DateSettings& settings, DateKind kind, DateTimeParts& p,
              bool& isoWithT) {
    const size_t start = i;
    Number first = readDigits(s, i);
    if (first.digits == 0) {
        i = start;
        return readAlphabeticDate(s, i, *settings.language, p);
    }
    if (i == s.size() || s[i] == ' ') {
        // Unseparated: yyyymmdd or yymmdd.
        if (first.digits != 8 && first.digits != 6) {
            i = start;
            return first.digits <= 4 && readAlphabeticDate(s, i, *settings.language, p);
        }
        const std::string digits(s.substr(start, static_cast<size_t>(first.digits)));
        const size_t yearDigits = first.digits == 8 ? 4 : 2;
        p.year = windowedYear({std::stoi(digits.substr(0, yearDigits)), static_cast<int>(yearDigits)});
        p.month = std::stoi(digits.substr(yearDigits, 2));
        p.day = std::stoi(digits.substr(yearDigits + 2, 2));
        return true;
    }
    const char sep = s[i];
    if (sep != '/' && sep != '-' && sep != '.') return false;
    Number n[3] = {first, {}, {}};
    for (int k = 1; k < 3; ++k) {
        if (i >= s.size() || s[i] != sep) return false;
        ++i;
        n[k] = readDigits(s, i);
        if (n[k].digits == 0) return false;
    }
    // ISO 8601: yyyy-mm-ddThh:mm:ss[.mmm], read the same under every setting.
    if (i < s.size() && s[i] == 'T') {
        if (sep != '-' || n[0].digits != 4 || n[1].digits != 2 || n[2].digits != 2) return false;
        p.year = n[0].value;
        p.month = n[1].value;
        p.day = n[2].value;
        isoWithT = true;
        return true;
    }
    return orderParts(n, settings.order, kind, p);
}

bool validDay(const DateTimeParts& p) {
    if (p.month < 1 || p.month > 12 || p.day < 1) return false;
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (p.year % 4 == 0 && p.year % 100 != 0) || p.year % 400 == 0;
    return p.day <= (p.month == 2 && leap ? 29 : days[p.month - 1]);
}

bool timeAlone(std::string_view s) {
    size_t i = 0;
    readDigits(s, i, 2);
    if (i == 0) return false;
    if (i < s.size() && s[i] == ':') return true;
    skipSpaces(s, i);
    return readMeridiem(s, i) != 0;
}

DateLiteral failed(int error) { return DateLiteral{std::nullopt, error}; }

}  // namespace

DateLiteral readDateLiteral(std::string_view text, const DateSettings& settings, DateKind kind) {
    size_t b = 0, e = text.size();
    while (b < e && std::isspace(static_cast<unsigned char>(text[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1]))) --e;
    const std::string_view s = text.substr(b, e - b);
    DateTimeParts p;
    if (s.empty()) return DateLiteral{p, 0};  // '' is 1900-01-01
    const int fractionDigits = kind == DateKind::Date ? 7 : 3;
    size_t i = 0;
    if (timeAlone(s)) {
        if (!readTime(s, i, p, fractionDigits) || i != s.size()) return failed(NotADate);
    } else {
        bool isoWithT = false;
        if (!readDate(s, i, settings, kind, p, isoWithT)) return failed(NotADate);
        if (isoWithT) {
            ++i;
            if (!readTime(s, i, p, fractionDigits)) return failed(NotADate);
            if (i < s.size() && s[i] == 'Z') ++i;
        } else {
            skipSpaces(s, i);
            if (i < s.size() && !readTime(s, i, p, fractionDigits)) return failed(NotADate);
        }
        if (i != s.size()) return failed(NotADate);
    }
    // The new date type reports a day the month lacks as a failed
    // conversion; datetime and smalldatetime call it out of range.
    if (!validDay(p)) return failed(kind == DateKind::Date ? NotADate : OutOfRange);
    switch (kind) {
    case DateKind::Date:
        p.hour = p.minute = p.second = p.millis = 0;
        if (p.year < 1) return failed(NotADate);
        break;
    case DateKind::DateTime:
        p = roundToDateTimeTicks(p);
        if (p.year < 1753 || p.year > 9999) return failed(OutOfRange);
        break;
    case DateKind::SmallDateTime:
        p = roundToMinute(p);
        if (p.year < 1900 || p.year > 2079 || (p.year == 2079 && (p.month > 6 || (p.month == 6 && p.day > 6)))) {
            return failed(OutOfRange);
        }
        break;
    }
    return DateLiteral{p, 0};
}

std::optional<DateOrder> styleDateOrder(int style) {
    switch (style % 100) {
    case 1:
    case 10: return DateOrder::MDY;
    case 3:
    case 4:
    case 5: return DateOrder::DMY;
    case 2:
    case 11:
    case 20:
    case 21:
    case 23:
    case 26: return DateOrder::YMD;
    default: return std::nullopt;
    }
}

}  // namespace standin

#include "datetime_text.h"

#include <cctype>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace standin {
namespace {

bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

bool validDate(int y, int m, int d) {
    return y >= 1 && y <= 9999 && m >= 1 && m <= 12 && d >= 1 && d <= daysInMonth(y, m);
}

// Reads 1..maxDigits digits at `i`.
bool readNumber(std::string_view s, size_t& i, int maxDigits, int& out, int* digits = nullptr) {
    int n = 0, v = 0;
    while (i < s.size() && n < maxDigits && std::isdigit(static_cast<unsigned char>(s[i]))) {
        v = v * 10 + (s[i] - '0');
        ++i;
        ++n;
    }
    if (digits) *digits = n;
    out = v;
    return n > 0;
}

// hh:mm[:ss[.fff]] [AM|PM]
bool parseTime(std::string_view s, size_t& i, DateTimeParts& p) {
    if (!readNumber(s, i, 2, p.hour)) return false;
    if (i >= s.size() || s[i] != ':') return false;
    ++i;
    if (!readNumber(s, i, 2, p.minute)) return false;
    if (i < s.size() && s[i] == ':') {
        ++i;
        if (!readNumber(s, i, 2, p.second)) return false;
        if (i < s.size() && (s[i] == '.' || s[i] == ':')) {
            ++i;
            int digits = 0, frac = 0;
            readNumber(s, i, 7, frac, &digits);
            // Keep milliseconds; further digits are rounded away.
            while (digits > 3) {
                frac = (frac + (digits == 4 ? 5 : 0)) / 10;
                --digits;
            }
            while (digits < 3) {
                frac *= 10;
                ++digits;
            }
            p.millis = frac;
        }
    }
    while (i < s.size() && s[i] == ' ') ++i;
    if (i + 1 < s.size() && (s[i] == 'A' || s[i] == 'a' || s[i] == 'P' || s[i] == 'p') &&
        (s[i + 1] == 'M' || s[i + 1] == 'm')) {
        const bool pm = s[i] == 'P' || s[i] == 'p';
        if (p.hour < 1 || p.hour > 12) return false;
        if (pm && p.hour < 12) p.hour += 12;
        if (!pm && p.hour == 12) p.hour = 0;
        i += 2;
    }
    return p.hour < 24 && p.minute < 60 && p.second < 60 && p.millis < 1000;
}

bool parseDate(std::string_view s, size_t& i, DateTimeParts& p) {
    int a = 0, digitsA = 0;
    if (!readNumber(s, i, 8, a, &digitsA)) return false;
    if (digitsA == 8) {  // YYYYMMDD
        p.year = a / 10000;
        p.month = a / 100 % 100;
        p.day = a % 100;
        return validDate(p.year, p.month, p.day);
    }
    if (i >= s.size()) return false;
    const char sep = s[i];
    if (sep != '-' && sep != '/' && sep != '.') return false;
    ++i;
    int b = 0, c = 0, digitsC = 0;
    if (!readNumber(s, i, 2, b)) return false;
    if (i >= s.size() || s[i] != sep) return false;
    ++i;
    if (!readNumber(s, i, 4, c, &digitsC)) return false;
    if (digitsA == 4) {  // year first
        p.year = a;
        p.month = b;
        p.day = c;
    } else if (digitsA <= 2 && digitsC == 4) {  // month/day/year
        p.month = a;
        p.day = b;
        p.year = c;
    } else {
        return false;
    }
    return validDate(p.year, p.month, p.day);
}

}  // namespace

std::optional<DateTimeParts> parseDateTimeText(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && std::isspace(static_cast<unsigned char>(text[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1]))) --e;
    std::string_view s = text.substr(b, e - b);
    if (s.empty()) return std::nullopt;
    DateTimeParts p;
    size_t i = 0;
    // A time alone: "hh:mm..."
    if (s.size() >= 3 && std::isdigit(static_cast<unsigned char>(s[0])) &&
        (s[1] == ':' || (std::isdigit(static_cast<unsigned char>(s[1])) && s[2] == ':'))) {
        if (!parseTime(s, i, p) || i != s.size()) return std::nullopt;
        return p;
    }
    if (!parseDate(s, i, p)) return std::nullopt;
    if (i == s.size()) return p;
    if (s[i] != ' ' && s[i] != 'T') return std::nullopt;
    ++i;
    while (i < s.size() && s[i] == ' ') ++i;
    if (i == s.size()) return p;
    if (!parseTime(s, i, p) || i != s.size()) return std::nullopt;
    return p;
}

DateTimeParts roundToDateTimeTicks(DateTimeParts p) {
    // 1/300 s ticks: round the milliseconds to the nearest tick.
    int ticks = (p.millis * 300 + 500) / 1000;
    int ms = ticks * 1000 / 300;
    if (ticks * 1000 % 300 * 2 >= 300) ++ms;  // .003, .007 as SQL Server shows them
    if (ms >= 1000) {
        ms = 0;
        int64_t days = daysFromCivil(p.year, p.month, p.day);
        int secs = p.hour * 3600 + p.minute * 60 + p.second + 1;
        if (secs >= 86400) {
            secs = 0;
            ++days;
        }
        DateTimeParts d = civilFromDays(days);
        d.hour = secs / 3600;
        d.minute = secs / 60 % 60;
        d.second = secs % 60;
        p = d;
    }
    p.millis = ms;
    return p;
}

DateTimeParts roundToMinute(DateTimeParts p) {
    const bool up = p.second * 1000 + p.millis >= 29999;
    p.second = 0;
    p.millis = 0;
    if (up) {
        int64_t days = daysFromCivil(p.year, p.month, p.day);
        int mins = p.hour * 60 + p.minute + 1;
        if (mins >= 1440) {
            mins = 0;
            ++days;
        }
        DateTimeParts d = civilFromDays(days);
        d.hour = mins / 60;
        d.minute = mins % 60;
        p = d;
    }
    return p;
}

std::string formatDateTime(const DateTimeParts& p) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", p.year, p.month, p.day, p.hour,
                  p.minute, p.second, p.millis);
    return buf;
}

std::string formatDate(const DateTimeParts& p) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", p.year, p.month, p.day);
    return buf;
}

// Howard Hinnant's civil calendar algorithms.
int64_t daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

DateTimeParts civilFromDays(int64_t z) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    DateTimeParts p;
    p.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    p.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    p.year = static_cast<int>(yoe + era * 400 + (p.month <= 2));
    return p;
}

DateTimeParts currentDateTime() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&t, &tm);
    DateTimeParts p;
    p.year = tm.tm_year + 1900;
    p.month = tm.tm_mon + 1;
    p.day = tm.tm_mday;
    p.hour = tm.tm_hour;
    p.minute = tm.tm_min;
    p.second = tm.tm_sec;
    p.millis = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    return p;
}

}  // namespace standin

#include "datetime_text.h"

#include <cctype>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace standin {
namespace {

bool isDigitAt(std::string_view s, size_t i) { return i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); }

// `count` digits at `i` as a number, or -1.
int digitsAt(std::string_view s, size_t i, size_t count) {
    int v = 0;
    for (size_t k = 0; k < count; ++k) {
        if (!isDigitAt(s, i + k)) return -1;
        v = v * 10 + (s[i + k] - '0');
    }
    return v;
}

}  // namespace

std::optional<DateTimeParts> parseStoredDateTime(std::string_view s) {
    // YYYY-MM-DD[ hh:mm:ss[.fff]]
    DateTimeParts p;
    if (s.size() < 10 || s[4] != '-' || s[7] != '-') return std::nullopt;
    p.year = digitsAt(s, 0, 4);
    p.month = digitsAt(s, 5, 2);
    p.day = digitsAt(s, 8, 2);
    if (p.year < 0 || p.month < 1 || p.month > 12 || p.day < 1 || p.day > 31) return std::nullopt;
    if (s.size() == 10) return p;
    if (s.size() < 19 || s[10] != ' ' || s[13] != ':' || s[16] != ':') return std::nullopt;
    p.hour = digitsAt(s, 11, 2);
    p.minute = digitsAt(s, 14, 2);
    p.second = digitsAt(s, 17, 2);
    if (p.hour < 0 || p.minute < 0 || p.second < 0) return std::nullopt;
    if (s.size() == 19) return p;
    if (s.size() != 23 || s[19] != '.' || (p.millis = digitsAt(s, 20, 3)) < 0) return std::nullopt;
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
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", p.year, p.month, p.day, p.hour, p.minute,
                  p.second, p.millis);
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

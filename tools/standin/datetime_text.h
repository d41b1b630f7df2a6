#pragma once
// Dates and times as the stand-in stores them: 'YYYY-MM-DD hh:mm:ss.fff'
// text for datetime and smalldatetime, 'YYYY-MM-DD' for date. Strings a
// client writes are read by date_literal.h.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace standin {

struct DateTimeParts {
    int year = 1900, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0, millis = 0;
};

// The stored form back as parts; nothing for any other text.
std::optional<DateTimeParts> parseStoredDateTime(std::string_view text);
// Rounds the fraction to datetime's 1/300 second steps (.000, .003, .007).
DateTimeParts roundToDateTimeTicks(DateTimeParts p);
// Rounds to the minute, as smalldatetime keeps it.
DateTimeParts roundToMinute(DateTimeParts p);
std::string formatDateTime(const DateTimeParts& p);  // YYYY-MM-DD hh:mm:ss.fff
std::string formatDate(const DateTimeParts& p);      // YYYY-MM-DD
// Days from 1970-01-01 (negative before).
int64_t daysFromCivil(int year, int month, int day);
DateTimeParts civilFromDays(int64_t days);
// Now, in local time.
DateTimeParts currentDateTime();

}  // namespace standin

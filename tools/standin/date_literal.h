#pragma once
// A character string read as a date and time, the way SQL Server reads it
// where a string meets a datetime, smalldatetime or date value: in a
// comparison, an assignment, CAST or CONVERT.
//
// The numeric forms with separators ('12/31/1999', '1999-12-31 23:59:58')
// follow the session's DATEFORMAT; for datetime and smalldatetime even a
// leading four-digit year only fixes the year, and month and day keep
// DATEFORMAT's order (so under dmy '1999-12-31' has no 31st month). The
// ISO 8601 form with 'T', the unseparated 'yyyymmdd' and 'yymmdd' forms and
// times alone are read the same under every setting; month names follow
// the session's language. For date, a leading four-digit year is always
// year-month-day, and ydm is refused.
#include "datetime_text.h"
#include "session_language.h"

#include <optional>
#include <string_view>

namespace standin {

enum class DateKind { DateTime, SmallDateTime, Date };

struct DateLiteral {
    std::optional<DateTimeParts> value;  // rounded as the kind keeps it
    // When there is no value: 241 (the text is no date) or 242 (a date
    // outside the kind's range, or a day the month does not have).
    int error = 0;
};

DateLiteral readDateLiteral(std::string_view text, const DateSettings& settings, DateKind kind);

// CONVERT's input styles that fix the order of a string's date parts
// (101 mdy, 103 dmy, 111 ymd ...); nothing for styles that leave it to
// DATEFORMAT.
std::optional<DateOrder> styleDateOrder(int style);

}  // namespace standin

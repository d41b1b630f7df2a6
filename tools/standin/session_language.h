#pragma once
// The languages a session may speak (SET LANGUAGE, a login's default, the
// language named in LOGIN7) and what each one decides: the order in which
// the numeric date forms are read (SET DATEFORMAT starts from it), the
// first day of the week and the month names of dates written as text.
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace standin {

// SET DATEFORMAT's six orders of month, day and year.
enum class DateOrder { MDY, DMY, YMD, YDM, MYD, DYM };

struct Language {
    const char* name;   // as @@LANGUAGE and the login reply give it
    const char* alias;  // SET LANGUAGE accepts either
    DateOrder dateOrder;
    int dateFirst;
    std::array<const char*, 12> months;       // full names, for reading dates
    std::array<const char*, 12> shortMonths;  // CONVERT style 0 writes these
};

// us_english, british and 简体中文, the languages the stand-in knows.
const Language& usEnglish();
// The language called `name` (its name or alias, ignoring case), if known.
const Language* findLanguage(std::string_view name);

// "dmy" -> DateOrder::DMY, ignoring case.
std::optional<DateOrder> parseDateOrder(std::string_view text);
std::string dateOrderName(DateOrder order);

// What a session's SET LANGUAGE, SET DATEFORMAT and SET DATEFIRST left.
struct DateSettings {
    const Language* language = &usEnglish();
    DateOrder order = DateOrder::MDY;
    int dateFirst = 7;

    // SET LANGUAGE also resets the date order and the first weekday.
    void setLanguage(const Language& l) {
        language = &l;
        order = l.dateOrder;
        dateFirst = l.dateFirst;
    }
};

}  // namespace standin

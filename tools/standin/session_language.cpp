#include "session_language.h"

#include "text_codec.h"

namespace standin {
namespace {

constexpr std::array<const char*, 12> EnglishMonths{"January",   "February", "March",    "April",
                                                    "May",       "June",     "July",     "August",
                                                    "September", "October",  "November", "December"};
constexpr std::array<const char*, 12> EnglishShortMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
// sys.syslanguages gives 简体中文 numbered months, long and short alike.
constexpr std::array<const char*, 12> NumberedMonths{"01", "02", "03", "04", "05", "06",
                                                     "07", "08", "09", "10", "11", "12"};

// As sys.syslanguages describes them: us_english reads mdy and starts the
// week on Sunday, british dmy and Monday, 简体中文 ymd and Sunday.
const Language Languages[] = {
    {"us_english", "English", DateOrder::MDY, 7, EnglishMonths, EnglishShortMonths},
    {"british", "British English", DateOrder::DMY, 1, EnglishMonths, EnglishShortMonths},
    {"简体中文", "Simplified Chinese", DateOrder::YMD, 7, NumberedMonths, NumberedMonths},
};

constexpr const char* OrderNames[] = {"mdy", "dmy", "ymd", "ydm", "myd", "dym"};

}  // namespace

const Language& usEnglish() { return Languages[0]; }

const Language* findLanguage(std::string_view name) {
    for (const auto& l : Languages) {
        if (equalsIgnoreCase(name, l.name) || equalsIgnoreCase(name, l.alias)) return &l;
    }
    return nullptr;
}

std::optional<DateOrder> parseDateOrder(std::string_view text) {
    for (int k = 0; k < 6; ++k) {
        if (equalsIgnoreCase(text, OrderNames[k])) return static_cast<DateOrder>(k);
    }
    return std::nullopt;
}

std::string dateOrderName(DateOrder order) { return OrderNames[static_cast<int>(order)]; }

}  // namespace standin

// The numeric test and the date parser that decide how a cell is written.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "exchange/detail/value_tests.h"

namespace dovrel::exchange::detail {
namespace {

TEST(NumericTest, AcceptsSignDigitsPointExponentAndSurroundingBlanks) {
    for (const char* text : {"0", "7", "-12", "+3", "3.25", "-0.5", ".5", "5.", "-.5", "1e5", "1E+05", "2.5e-3", "007",
                             "12345678901234567890", " 1", "1 ", "  -2.5  "})
        EXPECT_TRUE(isStrictNumber(text)) << text;
}

TEST(NumericTest, RefusesAnythingThatCouldReshapeAStatement) {
    for (const char* text : {"",
                             " ",
                             ".",
                             "-",
                             "+",
                             "e5",
                             "1e",
                             "1e+",
                             "1 000",
                             "1,000",
                             "$5",
                             "¥5",
                             "0x1F",
                             "&H1F",
                             "1.2.3",
                             "--1",
                             "1-",
                             "1e5.0",
                             "1);drop table x;--",
                             "Infinity",
                             "NaN",
                             "１２",
                             "1\t2",
                             "\t1",
                             "True",
                             "- 1"})
        EXPECT_FALSE(isStrictNumber(text)) << text;
}

std::string format(const char* text) {
    auto date = formatDateTime(text);
    return date ? std::string(date->view()) : "(none)";
}

TEST(DateParser, FormatsTheUnambiguousYearFirstForms) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"2001/2/3", "2001-02-03 00:00:00"},
        {"2001-02-03", "2001-02-03 00:00:00"},
        {"2001.02.03", "2001-02-03 00:00:00"},
        {"2001年2月3日", "2001-02-03 00:00:00"},
        {"2001年2月3日 10时5分", "2001-02-03 10:05:00"},
        {"2001年2月3日10时5分9秒", "2001-02-03 10:05:09"},
        {"2001年2月3日 10:05", "2001-02-03 10:05:00"},
        {"2001年12月31日 下午 3:00", "2001-12-31 15:00:00"},
        {"2001/2/3 10:00", "2001-02-03 10:00:00"},
        {"2001-02-03T10:00:00", "2001-02-03 10:00:00"},
        {"1999-12-31 23:59", "1999-12-31 23:59:00"},
        {"1999/12/31 7:05:09", "1999-12-31 07:05:09"},
        {"2001-02-03 12:5", "2001-02-03 12:05:00"},
        {"2001-02-03  12:00", "2001-02-03 12:00:00"},
        {"  2001-02-03 10:00  ", "2001-02-03 10:00:00"},
        {"2001/2/3 12:00:00 AM", "2001-02-03 00:00:00"},
        {"2001/2/3 1:30 pm", "2001-02-03 13:30:00"},
        {"2000-02-29", "2000-02-29 00:00:00"},  // a leap year by the 400 rule
        {"2024-2-29 00:00:00", "2024-02-29 00:00:00"},
        // Only a fraction that is not zero is kept, to the millisecond.
        {"2001-02-03 10:00:00.000", "2001-02-03 10:00:00"},
        {"2001-02-03 10:00:00.5", "2001-02-03 10:00:00.500"},
        {"2001-02-03T10:00:00.123", "2001-02-03 10:00:00.123"},
        {"2001-02-03 10:00:00.1230000", "2001-02-03 10:00:00.123"},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(format(text), expected) << text;
}

TEST(DateParser, RefusesDatesThatDoNotExistAndAmbiguousShapes) {
    for (const char* text : {"2001-02-30",
                             "2001-02-29",
                             "1900-02-29",
                             "2001-13-01",
                             "2001-00-10",
                             "2001-04-31",
                             "2001-01-00",
                             "0000-01-01",
                             "2001-02",
                             "2001-02-03 24:00",
                             "2001-02-03 12:60",
                             "2001-02-03 12:00:60",
                             "2001-02-03 12",
                             "2001-02/03",
                             "01-02-03",
                             "20011-02-03",
                             "2001-002-03",
                             "2001.02-03",
                             "2001/02/03T10:00",
                             "2001年2月3",
                             "2001年2月30日",
                             "2001-02-03 10:00:00.1234",
                             "2001-02-03 10:00:00.",
                             "2001-02-03 13:00 PM",
                             "2001-02-03 0:00 AM",
                             "2001-02-03 10:00 XM",
                             "2001-02-03 10:00Z",
                             "",
                             " ",
                             "#Null",
                             "3/2/2001",
                             "03.02.2001",
                             "2001-02-03x"})
        EXPECT_EQ(format(text), "(none)") << text;
}

}  // namespace
}  // namespace dovrel::exchange::detail

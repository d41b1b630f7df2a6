// The numeric test and the date parser that decide how a cell is written.
#include <gtest/gtest.h>

#include "exchange/detail/value_tests.h"

namespace dovrel::exchange::detail {
namespace {

TEST(NumericTest, AcceptsSignDigitsPointAndExponent) {
    for (const char* text : {"0", "7", "-12", "+3", "3.25", "-0.5", ".5", "5.", "-.5", "1e5", "1E+05", "2.5e-3",
                             "007", "12345678901234567890"})
        EXPECT_TRUE(isStrictNumber(text)) << text;
}

TEST(NumericTest, RefusesAnythingThatCouldReshapeAStatement) {
    for (const char* text : {"", " ", ".", "-", "+", "e5", "1e", "1e+", " 1", "1 ", "1,000", "$5", "0x1F", "1.2.3",
                             "--1", "1-", "1e5.0", "1);drop table x;--", "Infinity", "NaN", "１２", "1\t2", "True"})
        EXPECT_FALSE(isStrictNumber(text)) << text;
}

std::string format(const char* text) {
    auto date = formatDateTime(text);
    return date ? std::string(date->view()) : "(none)";
}

TEST(DateParser, FormatsDatesWithOrWithoutTimeOfDay) {
    EXPECT_EQ(format("2001/2/3"), "2001-02-03 00:00:00");
    EXPECT_EQ(format("2001-02-03"), "2001-02-03 00:00:00");
    EXPECT_EQ(format("1999-12-31 23:59"), "1999-12-31 23:59:00");
    EXPECT_EQ(format("1999/12/31 7:05:09"), "1999-12-31 07:05:09");
    EXPECT_EQ(format("2000-02-29"), "2000-02-29 00:00:00");   // a leap year by the 400 rule
    EXPECT_EQ(format("2024-2-29 00:00:00"), "2024-02-29 00:00:00");
}

TEST(DateParser, RefusesDatesThatDoNotExistAndOtherShapes) {
    for (const char* text : {"2001-02-30", "2001-02-29", "1900-02-29", "2001-13-01", "2001-00-10", "2001-04-31",
                             "2001-01-00", "0000-01-01", "2001-02", "2001-02-03 24:00", "2001-02-03 12:60",
                             "2001-02-03 12:00:60", "2001-02-03 12", "2001-02-03  12:00", "2001-02-03T12:00",
                             "2001-02/03", "01-02-03", "20011-02-03", "2001-002-03", "2001-02-03 12:5", " 2001-02-03",
                             "2001-02-03 ", "2001.02.03", "", "#Null", "3/2/2001"})
        EXPECT_EQ(format(text), "(none)") << text;
}

}  // namespace
}  // namespace dovrel::exchange::detail

// Code pages on Windows: the system's, as the locale of the machine sets
// them, and conversions held to the program's rule (no look-alikes, no '?').
// scripts/test-windows.sh runs this under a Western, a Simplified and a
// Traditional Chinese locale and says which through DOVREL_EXPECTED_CODE_PAGE.
#include "platform/codepage.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/localize.h"
#include "core/run_state.h"
#include "core/ui_font.h"

namespace dovrel::platform {
namespace {

// The ANSI (and OEM) code page the test run expects, 0 when it says none.
int expectedCodePage() {
    const char* value = std::getenv("DOVREL_EXPECTED_CODE_PAGE");
    return value ? std::atoi(value) : 0;
}

TEST(SystemCodePages, FollowTheMachinesLocale) {
    const int expected = expectedCodePage();
    if (expected == 0) GTEST_SKIP() << "DOVREL_EXPECTED_CODE_PAGE not given";
    EXPECT_EQ(ansiCodePage(), expected);
    EXPECT_EQ(oemCodePage(), expected == 1252 ? 437 : expected);
    overrideCodePages(CodePages{1252, 850});
    EXPECT_EQ(oemCodePage(), 850) << "an override wins over the system";
    overrideCodePages(std::nullopt);
    EXPECT_EQ(ansiCodePage(), static_cast<int>(GetACP()));
}

TEST(SystemCodePages, DecideFontAndConversion) {
    const int expected = expectedCodePage();
    if (expected == 0) GTEST_SKIP() << "DOVREL_EXPECTED_CODE_PAGE not given";
    SelectUiFont();
    EXPECT_EQ(runState().UseBig5Conversion, expected == 936 ? 0 : 1);
    EXPECT_EQ(runState().UiFontName, expected == 936 ? "宋体" : "新細明體");
    EXPECT_EQ(LocalizeText("为启动数据库"), expected == 936 ? "为启动数据库" : "為啟動數據庫");
    const std::optional<std::string> bytes = utf8ToCodePage("中", ansiCodePage());
    if (expected == 1252) {
        EXPECT_FALSE(bytes);
    } else {
        EXPECT_EQ(bytes, std::string(expected == 936 ? "\xD6\xD0" : "\xA4\xA4"));
        EXPECT_EQ(codePageToUtf8(*bytes, ansiCodePage()), "中");
    }
    resetRunState();
}

TEST(WindowsConversions, NeverSubstituteOrGuess) {
    struct Case {
        const char* utf8;
        int codePage;
        std::optional<std::string> bytes;
    };
    const Case cases[] = {
        {"€", 1252, "\x80"},
        {"ā", 1252, std::nullopt},    // Windows would give its look-alike 'a'
        {"?中?", 936, "?\xD6\xD0?"},  // a real '?' is no substitution
        {"𠀀", 936, std::nullopt},    // only GB18030 has it
        {"€", 936, "\x80"},
        {"裡", 950, "\xB8\xCC"},
        {"\xED\xA0\x80", 936, std::nullopt},  // a surrogate is no UTF-8
        {"中文", 65001, "中文"},
    };
    for (const Case& c : cases) EXPECT_EQ(utf8ToCodePage(c.utf8, c.codePage), c.bytes) << c.utf8 << " " << c.codePage;

    const struct {
        std::string bytes;
        int codePage;
        std::optional<std::string> utf8;
    } back[] = {
        {"\xD6", 936, std::nullopt},  // a lead byte alone
        {"\xFF\xFF", 950, std::nullopt},
        {"\xA4\xA4", 950, "中"},
        {"\xE9", 1252, "é"},
        {"\xC3\xA9", 65001, "é"},
        {"\xC3", 65001, std::nullopt},
        {"\xD6\xD0", 12345, std::nullopt},  // no such code page
    };
    for (const auto& c : back) EXPECT_EQ(codePageToUtf8(c.bytes, c.codePage), c.utf8) << c.codePage;
}

}  // namespace
}  // namespace dovrel::platform

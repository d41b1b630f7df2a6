#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace dovrel::platform;

#ifndef _WIN32
// Linux's own rule; Windows has its code pages from the system.
TEST(CodePages, FollowTheLocaleTheWayWindowsSetsThem) {
    EXPECT_EQ(codePagesForLocale("zh_CN.UTF-8").oem, 936);
    EXPECT_EQ(codePagesForLocale("zh_SG").ansi, 936);
    EXPECT_EQ(codePagesForLocale("zh_TW.UTF-8").oem, 950);
    EXPECT_EQ(codePagesForLocale("zh_HK").oem, 950);
    EXPECT_EQ(codePagesForLocale("zh_MO.Big5").ansi, 950);
    EXPECT_EQ(codePagesForLocale("ja_JP.UTF-8").ansi, 932);
    EXPECT_EQ(codePagesForLocale("ko_KR").oem, 949);
    EXPECT_EQ(codePagesForLocale("en_US.UTF-8").ansi, 1252);
    EXPECT_EQ(codePagesForLocale("C").oem, 437);
    EXPECT_EQ(codePagesForLocale("").oem, 437);
}

TEST(CodePages, EnvironmentOrderIsLcAllThenLcCtypeThenLang) {
    overrideCodePages(std::nullopt);
    setenv("LANG", "ja_JP.UTF-8", 1);
    setenv("LC_CTYPE", "zh_TW.UTF-8", 1);
    setenv("LC_ALL", "zh_CN.UTF-8", 1);
    EXPECT_EQ(oemCodePage(), 936);
    unsetenv("LC_ALL");
    EXPECT_EQ(oemCodePage(), 950);
    unsetenv("LC_CTYPE");
    EXPECT_EQ(ansiCodePage(), 932);
    overrideCodePages(CodePages{1252, 437});
    EXPECT_EQ(ansiCodePage(), 1252) << "an override wins over the locale";
    overrideCodePages(std::nullopt);
}
#endif

TEST(CodePages, ConvertBetweenUtf8AndCodePages) {
    EXPECT_EQ(utf8ToCodePage("中", 936), std::string("\xD6\xD0"));
    EXPECT_EQ(codePageToUtf8("\xD6\xD0", 936), "中");
    EXPECT_EQ(utf8ToCodePage("é", 1252), std::string("\xE9"));
    EXPECT_EQ(codePageToUtf8("\xE9", 1252), "é");
    EXPECT_EQ(utf8ToCodePage(std::string("a\0b", 3), 1252), std::string("a\0b", 3));
    EXPECT_FALSE(utf8ToCodePage("中", 1252)) << "no representation";
    EXPECT_FALSE(utf8ToCodePage("\xFF", 936)) << "not UTF-8";
    EXPECT_FALSE(codePageToUtf8("\xD6", 936)) << "a lone lead byte";
}

TEST(CodePages, Utf8Validation) {
    EXPECT_TRUE(isValidUtf8("plain"));
    EXPECT_TRUE(isValidUtf8("中文 é 😀"));
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));          // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80"));  // past U+10FFFF
    EXPECT_FALSE(isValidUtf8("\xE4\xB8"));          // cut short
    EXPECT_FALSE(isValidUtf8("\xD6\xD0"));          // GBK bytes
}

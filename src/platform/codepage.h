#pragma once
// Code pages. All text inside the program is UTF-8; code pages appear only
// where bytes or character codes are counted (the cipher, the source files
// of the table exchange). On Windows they are the system's (GetACP,
// GetOEMCP) and Windows converts. On Linux both code pages follow the
// locale (LC_ALL, then LC_CTYPE, then LANG) the way Windows sets them for
// that language: zh_CN, zh_SG 936; zh_TW, zh_HK, zh_MO 950; ja 932; ko 949;
// anything else ANSI 1252 and OEM 437; iconv converts.
#include <optional>
#include <string>
#include <string_view>

namespace dovrel::platform {

struct CodePages {
    int ansi;
    int oem;
};

#ifndef _WIN32
// The code pages that a locale name such as "zh_CN.UTF-8" stands for.
CodePages codePagesForLocale(std::string_view localeName);
#endif

// The ANSI code page of this machine (or the override).
int ansiCodePage();
// The OEM code page of this machine (or the override).
int oemCodePage();

// Tests and sandbox runs fix the code pages; nullopt returns to the locale.
void overrideCodePages(std::optional<CodePages> pages);

// UTF-8 text to bytes of `codePage`; nullopt when a character has no
// representation there or the text is not valid UTF-8.
std::optional<std::string> utf8ToCodePage(std::string_view utf8, int codePage);
// Bytes of `codePage` to UTF-8; nullopt when the bytes are not valid there.
std::optional<std::string> codePageToUtf8(std::string_view bytes, int codePage);

// True when `bytes` is well-formed UTF-8 throughout.
bool isValidUtf8(std::string_view bytes);

}  // namespace dovrel::platform

// Code pages on Windows: the system's own ANSI and OEM code pages, and its
// own conversions, held to the same rules as on Linux: a character without
// a representation, or bytes that are no character, fail the conversion
// instead of turning into '?' or a look-alike.
#include "platform/codepage.h"

#include <windows.h>

#include <climits>
#include <mutex>

#include "platform/win/wide_text.h"

namespace dovrel::platform {
namespace {

std::optional<CodePages> overridden;
std::mutex overrideMutex;

bool isAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// The code pages that Windows converts only without flags.
bool takesNoFlags(int codePage) {
    switch (codePage) {
    case 42:
    case 50220:
    case 50221:
    case 50222:
    case 50225:
    case 50227:
    case 50229:
    case 65000: return true;
    default: return codePage >= 57002 && codePage <= 57011;
    }
}

// Besides those, UTF-8 and GB18030 take no best-fit flag and no
// used-default report when converted to.
bool encodesStrictly(int codePage) { return !takesNoFlags(codePage) && codePage != CP_UTF8 && codePage != 54936; }

std::optional<std::wstring> decode(std::string_view bytes, int codePage) {
    if (bytes.size() > INT_MAX) return std::nullopt;
    const auto cp = static_cast<UINT>(codePage);
    const DWORD flags = takesNoFlags(codePage) ? 0 : MB_ERR_INVALID_CHARS;
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(cp, flags, bytes.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (MultiByteToWideChar(cp, flags, bytes.data(), size, wide.data(), length) != length) return std::nullopt;
    return wide;
}

std::optional<std::string> encode(const std::wstring& wide, int codePage) {
    if (wide.size() > INT_MAX) return std::nullopt;
    const auto cp = static_cast<UINT>(codePage);
    const bool strict = encodesStrictly(codePage);
    const DWORD flags = strict ? WC_NO_BEST_FIT_CHARS : 0;
    const int size = static_cast<int>(wide.size());
    BOOL usedDefault = FALSE;
    const int length =
        WideCharToMultiByte(cp, flags, wide.data(), size, nullptr, 0, nullptr, strict ? &usedDefault : nullptr);
    if (length <= 0 || usedDefault) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(cp, flags, wide.data(), size, bytes.data(), length, nullptr, nullptr);
    // Where the strict flags cannot be given, a round trip tells a
    // substituted character from a real one.
    if (!strict && decode(bytes, codePage) != wide) return std::nullopt;
    return bytes;
}

CodePages currentCodePages() {
    std::lock_guard lock(overrideMutex);
    if (overridden) return *overridden;
    return {static_cast<int>(GetACP()), static_cast<int>(GetOEMCP())};
}

}  // namespace

int ansiCodePage() { return currentCodePages().ansi; }
int oemCodePage() { return currentCodePages().oem; }

void overrideCodePages(std::optional<CodePages> pages) {
    std::lock_guard lock(overrideMutex);
    overridden = pages;
}

std::optional<std::string> utf8ToCodePage(std::string_view utf8, int codePage) {
    if (isAscii(utf8)) return std::string(utf8);
    const std::optional<std::wstring> wide = win::toWide(utf8);  // checks the UTF-8 as on Linux
    if (!wide) return std::nullopt;
    if (codePage == CP_UTF8) return std::string(utf8);
    return encode(*wide, codePage);
}

std::optional<std::string> codePageToUtf8(std::string_view bytes, int codePage) {
    if (isAscii(bytes)) return std::string(bytes);
    const std::optional<std::wstring> wide = decode(bytes, codePage);
    if (!wide) return std::nullopt;
    return win::toUtf8(*wide);
}

}  // namespace dovrel::platform

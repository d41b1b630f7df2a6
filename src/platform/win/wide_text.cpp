#include "platform/win/wide_text.h"

#include <windows.h>

#include <climits>

#include "platform/codepage.h"

namespace dovrel::platform::win {

std::optional<std::wstring> toWide(std::string_view utf8) {
    if (utf8.empty()) return std::wstring();
    if (utf8.size() > INT_MAX || !isValidUtf8(utf8)) return std::nullopt;
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), length);
    return wide;
}

namespace {

std::optional<std::string> convert(std::wstring_view wide, DWORD flags) {
    if (wide.empty()) return std::string();
    if (wide.size() > INT_MAX / 3) return std::nullopt;
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(CP_UTF8, flags, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::nullopt;
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, flags, wide.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

}  // namespace

std::string toUtf8(std::wstring_view wide) { return convert(wide, 0).value_or(std::string()); }

std::optional<std::string> toStrictUtf8(std::wstring_view wide) { return convert(wide, WC_ERR_INVALID_CHARS); }

}  // namespace dovrel::platform::win

#include "winui/win_text.h"

#include "platform/utf8_check.h"
#include "platform/win/wide_text.h"

namespace dovrel::winui {

std::wstring wide(std::string_view utf8Text) {
    if (auto converted = platform::win::toWide(utf8Text)) return *converted;
    return platform::win::toWide(platform::utf8::repaired(utf8Text)).value_or(std::wstring());
}

std::string utf8(std::wstring_view text) { return platform::win::toUtf8(text); }

std::wstring windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

std::string windowTextUtf8(HWND window) { return utf8(windowText(window)); }

void setWindowText(HWND window, std::string_view utf8Text) { SetWindowTextW(window, wide(utf8Text).c_str()); }

}  // namespace dovrel::winui

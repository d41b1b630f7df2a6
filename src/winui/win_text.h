#pragma once
// The windows' texts: the program's UTF-8 to and from the UTF-16 of the
// wide Win32 functions.
#include <windows.h>

#include <string>
#include <string_view>

namespace dovrel::winui {

// Malformed UTF-8 is shown with U+FFFD in place of the bad bytes.
std::wstring wide(std::string_view utf8);
std::string utf8(std::wstring_view text);

// A window's or control's text.
std::wstring windowText(HWND window);
std::string windowTextUtf8(HWND window);
void setWindowText(HWND window, std::string_view utf8Text);

}  // namespace dovrel::winui

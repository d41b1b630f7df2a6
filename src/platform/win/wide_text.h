#pragma once
// UTF-8, the program's text, and UTF-16, what the wide-character Windows
// functions take.
#include <optional>
#include <string>
#include <string_view>

namespace dovrel::platform::win {

// nullopt when `utf8` is not well-formed UTF-8.
std::optional<std::wstring> toWide(std::string_view utf8);
// An unpaired surrogate becomes U+FFFD.
std::string toUtf8(std::wstring_view wide);
// nullopt when `wide` holds an unpaired surrogate.
std::optional<std::string> toStrictUtf8(std::wstring_view wide);

}  // namespace dovrel::platform::win

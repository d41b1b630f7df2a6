#pragma once
// UTF-8 (used inside the server and by SQLite) to and from UTF-16LE (the
// protocol's text encoding), and Latin-1 for the few legacy fields.
#include <string>
#include <string_view>

namespace standin {

// UTF-8 to UTF-16LE bytes; malformed input becomes U+FFFD.
std::string utf8ToUtf16le(std::string_view utf8);
// UTF-16LE bytes to UTF-8; unpaired surrogates become U+FFFD.
std::string utf16leToUtf8(std::string_view utf16);
// Number of UTF-16 code units the UTF-8 text needs (SQL Server's nvarchar length).
size_t utf16Length(std::string_view utf8);
// The longest start of the text that needs at most `units` UTF-16 code units.
std::string utf16Prefix(std::string_view utf8, size_t units);

std::string toLower(std::string_view s);
bool equalsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace standin

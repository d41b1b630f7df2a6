#pragma once
// Text crosses the driver boundary as UTF-16 (the wide ODBC calls), so that
// Chinese names and values do not depend on the driver's client character
// set. Inside the program every text is UTF-8.
#include <string>
#include <string_view>

#include "db/odbc_headers.h"

namespace dovrel::ado::odbc {

// Invalid UTF-8 sequences become U+FFFD.
std::u16string toUtf16(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string toUtf8(std::u16string_view utf16);

inline SQLWCHAR* wide(std::u16string& text) { return reinterpret_cast<SQLWCHAR*>(text.data()); }
inline const char16_t* narrowed(const SQLWCHAR* text) { return reinterpret_cast<const char16_t*>(text); }

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the driver manager must use UTF-16 wide characters");

}  // namespace dovrel::ado::odbc

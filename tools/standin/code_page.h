#pragma once
// Non-Unicode text in a collation's code page (936, 950, 1252), as varchar,
// char and text columns and '...' literals hold it. What the code page
// cannot represent becomes '?', as SQL Server stores it.
#include <string>
#include <string_view>

namespace standin {

// UTF-8 text as the code page's bytes.
std::string toCodePage(std::string_view utf8, int codePage);
// The code page's bytes as UTF-8.
std::string fromCodePage(std::string_view bytes, int codePage);
// The text as the code page keeps it: UTF-8 again, '?' where it had to give up.
std::string throughCodePage(std::string_view utf8, int codePage);

}  // namespace standin

#pragma once
// Text that claims to be UTF-8 but is not throughout: a file that begins
// with the UTF-8 byte-order mark and then holds bytes of some other
// encoding, or a damaged one.
#include <cstddef>
#include <string>
#include <string_view>

namespace dovrel::exchange::detail {

// `bytes` with every byte that begins no well-formed UTF-8 character
// replaced by U+FFFD, as an unreadable byte of the ANSI code page is; valid
// text comes back unchanged. `replaced` counts the replacements and
// `firstReplaced` receives where the first one begins in the result.
std::string repairUtf8(std::string_view bytes, std::size_t& replaced, std::size_t& firstReplaced);

}  // namespace dovrel::exchange::detail

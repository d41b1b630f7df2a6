#pragma once
// The characters of a UTF-8 text as the cipher counts them: one entry per
// code point. A byte that does not begin a well-formed sequence counts as a
// character of its own, so malformed input still has a length and positions.
#include <string_view>
#include <vector>

namespace dovrel::cipher {

std::vector<std::string_view> splitCharacters(std::string_view utf8);

}  // namespace dovrel::cipher

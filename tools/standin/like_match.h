#pragma once
// T-SQL's LIKE: % for any run of characters, _ for one, [abc], [a-f] and
// [^abc] for one of (or none of) a set, and an optional escape character.
// The texts come folded as the collation compares them (collation.h).
#include <optional>
#include <string>

namespace standin {

bool likeMatches(const std::u32string& text, const std::u32string& pattern, std::optional<char32_t> escape);

}  // namespace standin

#pragma once
// Small text helpers shared by the layers.
#include <string>
#include <string_view>

namespace dovrel {

// Leading and trailing blanks (the space character only) removed.
std::string trimSpaces(std::string_view text);

// Equal without regard to letter case (Latin, Greek, Cyrillic and the
// full-width Latin letters): the rule by which the program compares names
// and list items.
bool equalsIgnoreCase(std::string_view a, std::string_view b);

// UTF-8 as UTF-16 units with letters folded to lower case (see above); a
// malformed byte becomes U+FFFD. Prefixes compare in these units, as the
// windows count characters.
std::u16string caseFolded(std::string_view utf8);

}  // namespace dovrel

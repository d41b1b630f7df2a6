#pragma once
// Small text helpers shared by the layers.
#include <string>
#include <string_view>

namespace dovrel {

// Leading and trailing blanks (the space character only) removed.
std::string trimSpaces(std::string_view text);

// Equal without regard to the case of ASCII letters.
bool equalsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace dovrel

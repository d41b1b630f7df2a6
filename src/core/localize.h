#pragma once
#include <string>

namespace dovrel {

// The text to display: converted to Traditional Chinese when the run's
// UseBig5Conversion is 1, unchanged otherwise or when the conversion fails.
std::string LocalizeText(const std::string& text);

}  // namespace dovrel

#pragma once
// Simplified-to-Traditional Chinese conversion of display texts. The real
// converter is OpenCC, created once on first use and held for the run.
#include <optional>
#include <string>

#include "platform/seam.h"

namespace dovrel::platform {

class TextConverter {
public:
    virtual ~TextConverter() = default;
    // The converted text, or nullopt when the conversion failed.
    virtual std::optional<std::string> convert(const std::string& text) = 0;
};

// The converter in use: seam<TextConverter>(), OpenCC unless another is installed.
TextConverter& traditionalConverter();

}  // namespace dovrel::platform

#pragma once
// Simplified-to-Traditional Chinese conversion of display texts. The real
// converter is OpenCC, created once on first use and held for the run.
#include <optional>
#include <string>

namespace dovrel::platform {

class TextConverter {
public:
    virtual ~TextConverter() = default;
    // The converted text, or nullopt when the conversion failed.
    virtual std::optional<std::string> convert(const std::string& text) = 0;
};

// The converter in use: OpenCC unless another has been installed.
TextConverter& traditionalConverter();
// Installs `converter` (nullptr restores OpenCC) and returns the previous one.
TextConverter* setTraditionalConverter(TextConverter* converter);

}  // namespace dovrel::platform

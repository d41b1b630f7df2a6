#include "core/localize.h"

#include "core/run_state.h"
#include "platform/text_converter.h"

namespace dovrel {

std::string LocalizeText(const std::string& text) {
    if (runState().UseBig5Conversion != 1) return text;
    // A converter that fails leaves the text as it was; nothing is reported.
    return platform::traditionalConverter().convert(text).value_or(text);
}

}  // namespace dovrel

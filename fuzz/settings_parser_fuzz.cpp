// The settings file parser: any bytes either parse or are refused; what
// parses formats back to a document that parses to the same values.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/settings_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace dovrel::platform;
    auto doc = parseSettings(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!doc) return 0;
    auto again = parseSettings(formatSettings(*doc));
    if (!again || again->keys.size() != doc->keys.size()) std::abort();
    for (size_t k = 0; k < doc->keys.size(); ++k) {
        const auto& a = doc->keys[k];
        const auto& b = again->keys[k];
        if (a.values.size() != b.values.size()) std::abort();
        for (size_t v = 0; v < a.values.size(); ++v)
            if (a.values[v].name != b.values[v].name || a.values[v].text != b.values[v].text) std::abort();
    }
    return 0;
}

// The settings file parser: any bytes either parse or are refused with a
// line inside the text; what parses gives back its text byte for byte, and a
// changed value reads back.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/settings_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace dovrel::platform;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    SettingsParseError error;
    auto doc = SettingsDocument::parse(text, &error);
    if (!doc) {
        if (error.line == 0 || error.reason.empty()) std::abort();
        return 0;
    }
    if (doc->text() != text) std::abort();
    doc->set("SoftWare\\Tovix\\HR", "Fuzz", text);
    auto again = SettingsDocument::parse(doc->text());
    if (!again || !again->value("SoftWare\\Tovix\\HR", "Fuzz") || *again->value("SoftWare\\Tovix\\HR", "Fuzz") != text)
        std::abort();
    return 0;
}

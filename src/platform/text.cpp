#include "platform/text.h"

#include <string>

#include "platform/utf8_check.h"

namespace dovrel {
namespace {

// Lower-case form of one UTF-16 unit for the scripts that names are
// written in: Latin, Greek, Cyrillic and the full-width Latin letters.
char16_t foldCase(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) ||
        (c >= 0x410 && c <= 0x42F) || (c >= 0xFF21 && c <= 0xFF3A)) {
        return static_cast<char16_t>(c + 32);
    }
    if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 80);
    return c;
}

}  // namespace

std::u16string caseFolded(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto decoded = platform::utf8::decodeAt(utf8, i);
        char32_t cp = decoded ? decoded->codePoint : 0xFFFD;
        i += decoded ? decoded->length : 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(foldCase(static_cast<char16_t>(cp)));
        }
    }
    return out;
}

std::string trimSpaces(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) { return caseFolded(a) == caseFolded(b); }

}  // namespace dovrel

#include "platform/text.h"

#include <string>

namespace dovrel {
namespace {

// Lower-case form of one UTF-16 unit for the scripts that names are
// written in: Latin, Greek, Cyrillic and the full-width Latin letters.
char16_t foldCase(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
        (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) || (c >= 0x410 && c <= 0x42F) ||
        (c >= 0xFF21 && c <= 0xFF3A)) {
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
        const auto b = static_cast<unsigned char>(utf8[i]);
        char32_t cp = 0xFFFD;
        std::size_t len = 1;
        if (b < 0x80) {
            cp = b;
        } else if ((b >> 5) == 0x6 || (b >> 4) == 0xE || (b >> 3) == 0x1E) {
            len = (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : 4;
            char32_t v = b & (0x7F >> len);
            bool ok = i + len <= utf8.size();
            for (std::size_t k = 1; ok && k < len; ++k) {
                const auto cont = static_cast<unsigned char>(utf8[i + k]);
                ok = (cont & 0xC0) == 0x80;
                v = (v << 6) | (cont & 0x3F);
            }
            if (ok) cp = v;
            else len = 1;
        }
        i += len;
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

#include "cipher/utf8_characters.h"

#include <cstddef>

namespace dovrel::cipher {
namespace {

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length of the well-formed sequence at `pos`, or 0 when there is none
// (overlong forms, surrogates and code points above U+10FFFF included).
std::size_t sequenceLength(std::string_view s, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(s[pos]);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (pos + length > s.size()) return 0;
    const auto second = static_cast<unsigned char>(s[pos + 1]);
    if (second < low || second > high) return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if (!isContinuation(static_cast<unsigned char>(s[pos + k]))) return 0;
    }
    return length;
}

}  // namespace

std::vector<std::string_view> splitCharacters(std::string_view utf8) {
    std::vector<std::string_view> characters;
    characters.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        std::size_t length = sequenceLength(utf8, pos);
        if (length == 0) length = 1;
        characters.push_back(utf8.substr(pos, length));
        pos += length;
    }
    return characters;
}

}  // namespace dovrel::cipher

#include "cipher/cipher_hex.h"

#include <cstdio>

namespace dovrel::cipher {
namespace {

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool isIgnoredBlank(std::string_view character) { return character == " " || character == "\t" || character == "\n"; }

}  // namespace

std::string formatSeed(int seed) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%02X", static_cast<unsigned>(seed) & 0xFFu);
    return buffer;
}

std::string formatGroup(int16_t value) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%2X", static_cast<unsigned>(static_cast<uint16_t>(value)));
    return buffer;
}

uint32_t readHex(std::span<const std::string_view> characters) {
    uint32_t number = 0;
    for (std::string_view character : characters) {
        if (isIgnoredBlank(character)) continue;
        const int digit = character.size() == 1 ? hexDigitValue(character[0]) : -1;
        if (digit < 0) break;
        number = number << 4 | static_cast<uint32_t>(digit);
    }
    return number;
}

}  // namespace dovrel::cipher

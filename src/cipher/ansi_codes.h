#pragma once
// Character codes in the ANSI code page, as the cipher computes with them:
// a single-byte character has its byte (0 to 255), a double-byte character
// lead × 256 + trail taken as a signed 16-bit number (negative).
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace dovrel::cipher {

// The code of '?', which stands for a character the code page cannot
// represent (a stray byte of malformed UTF-8 included), as the ANSI
// conversion of the system substitutes it.
inline constexpr int16_t kUnmappableCode = '?';

// Converts between characters and codes in one code page. Remembers the
// conversions it has made, so long texts convert each distinct character
// once; meant to live for one call of the cipher.
class AnsiCodes {
public:
    explicit AnsiCodes(int codePage) : codePage_(codePage) {}

    // The code of one character (one entry of splitCharacters). A character
    // the code page lacks, or one that takes more than two bytes there,
    // has kUnmappableCode. The character must outlive this object.
    int16_t codeOf(std::string_view character);

    // The UTF-8 character whose code is `code`: codes 0 to 255 one byte,
    // any other (negative) code the two bytes lead, trail. Bytes that are
    // no character of the code page give U+FFFD, so the result is always
    // well-formed UTF-8.
    const std::string& characterFor(int16_t code);

private:
    int codePage_;
    std::unordered_map<std::string_view, int16_t> codes_;
    std::unordered_map<uint16_t, std::string> characters_;
};

}  // namespace dovrel::cipher

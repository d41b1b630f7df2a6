#include "cipher/ansi_codes.h"

#include "platform/codepage.h"
#include "platform/utf8_check.h"

namespace dovrel::cipher {
namespace {

int16_t convertToCode(std::string_view character, int codePage) {
    const std::optional<std::string> bytes = platform::utf8ToCodePage(character, codePage);
    if (!bytes || bytes->empty() || bytes->size() > 2) return kUnmappableCode;
    if (bytes->size() == 1) return static_cast<unsigned char>((*bytes)[0]);
    const auto lead = static_cast<unsigned char>((*bytes)[0]);
    const auto trail = static_cast<unsigned char>((*bytes)[1]);
    return static_cast<int16_t>(static_cast<uint16_t>(lead << 8 | trail));
}

std::string convertToCharacter(uint16_t code, int codePage) {
    std::string bytes;
    if (code > 0xFF) bytes.push_back(static_cast<char>(code >> 8));
    bytes.push_back(static_cast<char>(code & 0xFF));
    std::optional<std::string> text = platform::codePageToUtf8(bytes, codePage);
    if (!text || text->empty() || !platform::isValidUtf8(*text)) return std::string(platform::utf8::kReplacement);
    return std::move(*text);
}

}  // namespace

int16_t AnsiCodes::codeOf(std::string_view character) {
    auto found = codes_.find(character);
    if (found == codes_.end()) {
        found = codes_.emplace(character, convertToCode(character, codePage_)).first;
    }
    return found->second;
}

const std::string& AnsiCodes::characterFor(int16_t code) {
    const auto key = static_cast<uint16_t>(code);
    auto found = characters_.find(key);
    if (found == characters_.end()) {
        found = characters_.emplace(key, convertToCharacter(key, codePage_)).first;
    }
    return found->second;
}

}  // namespace dovrel::cipher

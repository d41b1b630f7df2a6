#include "cipher/cipher_text.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <new>
#include <span>
#include <stdexcept>
#include <vector>

#include "cipher/ansi_codes.h"
#include "cipher/cipher_hex.h"
#include "cipher/utf8_characters.h"
#include "platform/codepage.h"
#include "platform/messages.h"
#include "platform/runtime_error.h"

namespace dovrel {
namespace {

using cipher::AnsiCodes;

// The cipher computes on signed 16-bit integers; a sum outside their range
// is an overflow error, as it always has been.
int16_t add16(int a, int b) {
    const int sum = a + b;
    if (sum < std::numeric_limits<int16_t>::min() || sum > std::numeric_limits<int16_t>::max()) {
        throw RuntimeError(err::Overflow);
    }
    return static_cast<int16_t>(sum);
}

int16_t xor16(int16_t a, int16_t b) { return static_cast<int16_t>(a ^ b); }

// The key's characters, used cyclically from the first. Its length and the
// position are 16-bit numbers, so a longer key overflows.
class KeyCycle {
public:
    KeyCycle(std::string_view key, AnsiCodes& codes) : characters_(cipher::splitCharacters(key)), codes_(codes) {
        if (characters_.size() > static_cast<std::size_t>(std::numeric_limits<int16_t>::max())) {
            throw RuntimeError(err::Overflow);
        }
        length_ = static_cast<int16_t>(characters_.size());
    }

    // Advances to the next key character and returns its code; an empty key
    // has no character 1.
    int16_t next() {
        position_ = position_ < length_ ? static_cast<int16_t>(position_ + 1) : int16_t{1};
        if (position_ > length_) throw RuntimeError(err::InvalidArgument);
        return codes_.codeOf(characters_[static_cast<std::size_t>(position_ - 1)]);
    }

private:
    std::vector<std::string_view> characters_;
    AnsiCodes& codes_;
    int16_t length_ = 0;
    int16_t position_ = 0;
};

std::string encrypt(std::string_view key, std::string_view text, AnsiCodes& codes) {
    KeyCycle keyCycle(key, codes);
    const int seed = cipher::drawSeed();
    std::string output = cipher::formatSeed(seed);
    int16_t previous = static_cast<int16_t>(seed);
    for (std::string_view character : cipher::splitCharacters(text)) {
        // % truncates toward zero, so the remainder keeps the dividend's sign.
        const auto a = static_cast<int16_t>(add16(codes.codeOf(character), previous) % 255);
        const int16_t value = xor16(a, keyCycle.next());
        output += cipher::formatGroup(value);
        previous = value;
    }
    return output;
}

std::string decrypt(std::string_view key, std::string_view text, AnsiCodes& codes) {
    KeyCycle keyCycle(key, codes);
    const std::vector<std::string_view> characters = cipher::splitCharacters(text);
    const std::span<const std::string_view> all(characters);
    auto previous = static_cast<int16_t>(cipher::readHex(all.first(std::min<std::size_t>(2, all.size()))));
    std::string output;
    // Fixed two-character groups after the seed; a last lone character is a
    // group of its own. Blanks around a group are skipped by the reading.
    for (std::size_t p = 2; p < all.size(); p += 2) {
        const auto group = all.subspan(p, std::min<std::size_t>(2, all.size() - p));
        const auto value = static_cast<int16_t>(cipher::readHex(group));
        const int16_t v = xor16(keyCycle.next(), value);
        const int16_t code = v <= previous ? add16(add16(v, 255), -previous) : add16(v, -previous);
        output += codes.characterFor(code);
        previous = value;
    }
    return output;
}

void showCipherError(int number, const std::string& description) {
    showMessage("系统错误" + std::to_string(number) + description, MessageIcon::None, MessageButtons::Ok);
}

bool sameLetter(std::string_view mode, char upper) {
    return mode.size() == 1 && (mode[0] == upper || mode[0] == upper - 'A' + 'a');
}

}  // namespace

std::string CipherText(std::string_view mode, std::string_view key, std::string_view text) {
    const bool encrypting = sameLetter(mode, 'E');
    if (!encrypting && !sameLetter(mode, 'D')) return {};
    try {
        AnsiCodes codes(platform::ansiCodePage());
        return encrypting ? encrypt(key, text, codes) : decrypt(key, text, codes);
    } catch (const std::length_error&) {
        showCipherError(err::OutOfMemory, errorDescription(err::OutOfMemory));
    } catch (...) {
        const ErrorReport error = describeCurrentException();
        showCipherError(error.number, error.description);
    }
    return {};
}

}  // namespace dovrel

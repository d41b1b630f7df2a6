// The UTF-8 check, both ways (sequence by sequence, sixteen bytes at a
// time), against the definition: decode each sequence and refuse overlong
// forms, surrogates and values past U+10FFFF.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/codepage.h"
#include "platform/text.h"
#include "platform/utf8_check.h"

namespace dovrel::platform {
namespace {

// Decodes each sequence by the letter of the definition.
bool decodesCleanly(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        std::size_t extra = 0;
        char32_t cp = c;
        if (c < 0x80)
            extra = 0;
        else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
        } else
            return false;
        if (i + extra >= bytes.size() && extra > 0) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (next & 0x3F);
        }
        const char32_t least[] = {0, 0x80, 0x800, 0x10000};
        if (cp < least[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

// Every way of checking, with what it said, for the failure message.
void expectAllAgree(const std::string& bytes, bool expected) {
    std::string hex;
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        hex += "0123456789ABCDEF"[c >> 4], hex += "0123456789ABCDEF"[c & 15], hex += ' ';
    }
    EXPECT_EQ(isValidUtf8(bytes), expected) << hex;
    EXPECT_EQ(utf8::validBySequence(bytes), expected) << hex;
    if (auto byBlock = utf8::validByBlock(bytes)) {
        EXPECT_EQ(*byBlock, expected) << hex;
    }
}

TEST(Utf8Check, EdgesOfEachSequenceLengthAtEveryOffsetOfABlock) {
    const std::pair<std::string, bool> cases[] = {
        {"\xC2\x80", true},
        {"\xDF\xBF", true},
        {"\xC1\xBF", false},  // overlong 2
        {"\xC0\x80", false},
        {"\xE0\xA0\x80", true},
        {"\xE0\x9F\xBF", false},  // overlong 3
        {"\xED\x9F\xBF", true},
        {"\xED\xA0\x80", false},
        {"\xEF\xBF\xBF", true},  // surrogate
        {"\xF0\x90\x80\x80", true},
        {"\xF0\x8F\xBF\xBF", false},  // overlong 4
        {"\xF4\x8F\xBF\xBF", true},
        {"\xF4\x90\x80\x80", false},
        {"\xF5\x80\x80\x80", false},
        {"\xFF", false},
        {"\x80", false},
        {"\xBF\xBF", false},  // lone continuations
        {"\xE4\xB8", false},
        {"\xF0\x90\x80", false},
        {"\xC3", false},  // cut short
        {"\xE4\xB8\xAD\x80", false},
        {"\xC3\xA9\xC3", false},
        {"\xD6\xD0\xCE\xC4", false},  // GBK 中文
        {"中文", true},
        {"😀", true},
    };
    for (const auto& [sequence, valid] : cases) {
        for (std::size_t before = 0; before <= 33; ++before) {
            expectAllAgree(std::string(before, 'a') + sequence, valid);
            expectAllAgree(std::string(before, 'a') + sequence + std::string(20, 'b'), valid);
        }
    }
    expectAllAgree("", true);
    expectAllAgree(std::string(100, 'x'), true);
}

TEST(Utf8Check, SequenceLengthsAtAPosition) {
    const std::string text = "a中\xF0\x9F\x98\x80\xC3\xA9\xBF\xE4\xB8";
    EXPECT_EQ(utf8::sequenceLength(text, 0), 1u);   // a
    EXPECT_EQ(utf8::sequenceLength(text, 1), 3u);   // 中
    EXPECT_EQ(utf8::sequenceLength(text, 2), 0u);   // inside 中
    EXPECT_EQ(utf8::sequenceLength(text, 4), 4u);   // 😀
    EXPECT_EQ(utf8::sequenceLength(text, 8), 2u);   // é
    EXPECT_EQ(utf8::sequenceLength(text, 10), 0u);  // a stray continuation
    EXPECT_EQ(utf8::sequenceLength(text, 11), 0u);  // cut short by the end
}

TEST(Utf8Check, RandomTextsAgreeWithTheDefinition) {
    // Bytes chosen around every boundary the rules draw.
    const unsigned char alphabet[] = {'a',  '\t', 0x00, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0,
                                      0xC1, 0xC2, 0xDF, 0xE0, 0xE4, 0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xFF};
    std::mt19937 random(7);
    int valid = 0;
    for (int n = 0; n < 30000; ++n) {
        std::string text(random() % 70, 'a');
        for (char& c : text) c = static_cast<char>(alphabet[random() % sizeof alphabet]);
        const bool expected = decodesCleanly(text);
        valid += expected;
        expectAllAgree(text, expected);
    }
    // Well-formed texts spliced from valid pieces, so that both outcomes are tried often.
    const std::string pieces[] = {"a", "\t", "\xC2\xA9", "中", "\xED\x9F\xBF", "\xF0\x9F\x98\x80", "\xF4\x8F\xBF\xBF"};
    for (int n = 0; n < 5000; ++n) {
        std::string text;
        const std::size_t length = random() % 90;
        while (text.size() < length) text += pieces[random() % std::size(pieces)];
        expectAllAgree(text, true);
        if (!text.empty()) {
            text.pop_back();
            expectAllAgree(text, decodesCleanly(text));
        }
    }
    EXPECT_GT(valid, 100);
}

}  // namespace
}  // namespace dovrel::platform

namespace dovrel::platform {
namespace {

TEST(Utf8Decoding, IllFormedBytesAreErrorsNeverOtherCharacters) {
    EXPECT_EQ(utf8::decodeAt("中", 0)->codePoint, U'中');
    EXPECT_EQ(utf8::decodeAt("a\xF0\x9F\x98\x80", 1)->codePoint, U'\U0001F600');
    for (const char* bad : {"\xC1\x81", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80", "\xE4\xB8"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(utf8::decodeAt(bad, 0));
        // Names compare by the same rule: an overlong "A" is not "a".
        EXPECT_FALSE(equalsIgnoreCase(bad, "a"));
        std::string replaced;  // one U+FFFD a byte
        for (std::size_t i = 0; i < std::string_view(bad).size(); ++i) replaced += utf8::kReplacement;
        EXPECT_EQ(utf8::repaired(bad), replaced);
    }
    EXPECT_EQ(utf8::repaired("ok 中文"), "ok 中文");
}

}  // namespace
}  // namespace dovrel::platform

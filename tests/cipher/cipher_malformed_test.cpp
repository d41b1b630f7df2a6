// Whatever reaches the cipher (registry values typed by hand, broken
// encodings) gives a well-formed result and never brings the program down.
#include <algorithm>
#include <random>

#include "cipher_fixture.h"
#include "platform/codepage.h"

namespace dovrel::testing {
namespace {

using CipherMalformedTest = CipherTest;

void expectWellFormed(const std::string& result, const std::string& input) {
    EXPECT_TRUE(platform::isValidUtf8(result)) << "input of " << input.size() << " bytes";
}

TEST_F(CipherMalformedTest, OddCipherTextsDecryptToSomething) {
    const std::string odd[] = {
        "zzzz",
        std::string(9, '\0'),
        std::string(7, ' '),
        "\t\n\t\n\t\n",
        "41\xFF\xFE\xC3",
        "4\xC3\xA9"
        "FC",
        "41FC3F\xE4\xB8",
        "-1-1-1-1",
        "41FFFFFFFFFF",
        "中文中文中文",
    };
    for (const std::string& text : odd) {
        expectWellFormed(decrypt(text), text);
    }
    // Each stray byte of broken UTF-8 is one character, so the length follows the characters.
    EXPECT_EQ(decrypt("41\xFF\xFE\xC3").size(), 1u + 1u);  // groups "\xFF\xFE" and "\xC3"
    EXPECT_EQ(decrypt("41中文中").size(), 2u);             // groups "中文" and "中"
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CipherMalformedTest, VeryLongCipherText) {
    std::string text = "41";
    for (int k = 0; k < 200000; ++k) text += "FC3F";
    const std::string result = decrypt(text);
    // One character for each of the 400000 groups, whatever character the
    // code page has for it.
    const auto characters = std::count_if(result.begin(), result.end(), [](char c) { return (c & 0xC0) != 0x80; });
    EXPECT_EQ(characters, 400000);
    expectWellFormed(result, text);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CipherMalformedTest, BrokenUtf8ToEncrypt) {
    // A stray byte has no character behind it and counts as '?'.
    const std::string broken =
        "a\xFF"
        "b\xC3";
    EXPECT_EQ(encrypt(broken, 0x41), encrypt("a?b?", 0x41));
    EXPECT_EQ(decrypt(encrypt(broken, 0x41)), "a?b?");
    const std::string brokenKey = "\xE4\xB8";
    EXPECT_EQ(encrypt("sa", 0x41, brokenKey), encrypt("sa", 0x41, "??"));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CipherMalformedTest, RandomBytesInBothCodePagesAndDirections) {
    std::mt19937 random(20240611);
    const std::string keys[] = {kProgramKey, "中齄丂", "\xFF\x80"};
    for (int codePage : {1252, 936}) {
        useCodePage(codePage);
        for (int round = 0; round < 400; ++round) {
            std::string bytes(random() % 40, '\0');
            for (char& c : bytes) c = static_cast<char>(random() % 256);
            const std::string& key = keys[round % 3];
            expectWellFormed(decrypt(bytes, key), bytes);
            const std::string cipher = encrypt(bytes, 1 + static_cast<int>(random() % 255), key);
            expectWellFormed(cipher, bytes);
            expectWellFormed(decrypt(cipher, key), bytes);
        }
    }
    // Only an overflow may be reported; nothing else goes wrong.
    for (const Message& message : messages.shown) EXPECT_EQ(message.text, "系统错误6Overflow");
}

}  // namespace
}  // namespace dovrel::testing

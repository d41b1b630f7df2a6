// The cipher under input its own tests leave out: modes that only look like
// "E" or "D", UTF-8 that breaks its rules in other ways, and the
// double-byte code pages other than 936.
#include <random>

#include "cipher/cipher_fixture.h"

namespace dovrel::testing {
namespace {

using CipherFaults = CipherTest;

std::string operator""_b(const char* text, std::size_t size) { return std::string(text, size); }

TEST_F(CipherFaults, ModesThatOnlyLookLikeOneGiveNothing) {
    const std::string modes[] = {"E\0"_b, "\0E"_b, "D\0"_b, "\0"_b, "\xEF\xBC\xA5", "\xEF\xBC\xA4", "E\r", "d\n"};
    for (const std::string& mode : modes) {
        EXPECT_EQ(CipherText(mode, kProgramKey, "sa"), "") << mode.size();
        EXPECT_EQ(CipherText(mode, kProgramKey, "41FC3F"), "") << mode.size();
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CipherFaults, IllFormedUtf8CountsOneQuestionMarkPerByte) {
    const std::pair<std::string, std::string> cases[] = {
        {"a\xED\xA0\x80"
         "b",
         "a???b"},           // a surrogate
        {"\xC0\xAF", "??"},  // an overlong slash
        {"\xE0\x80\xAF", "???"},
        {"\xF4\x90\x80\x80", "????"},       // past U+10FFFF
        {"\xF8\x88\x80\x80\x80", "?????"},  // a five-byte form
        {"\xF0\x9F\x98\x80", "?"},          // a real character the code page lacks: one
    };
    for (const auto& [text, same] : cases) {
        SCOPED_TRACE(same);
        EXPECT_EQ(encrypt(text, 0x41), encrypt(same, 0x41));
        EXPECT_EQ(decrypt(encrypt(text, 0x41)), same);
        // As a key, too.
        EXPECT_EQ(encrypt("sa", 0x41, text), encrypt("sa", 0x41, same));
    }
    // A NUL inside the key is a key character like any other.
    const std::string nulKey = "k\0y"_b;
    EXPECT_EQ(decrypt(encrypt("secret", 0x41, nulKey), nulKey), "secret");
    EXPECT_NE(encrypt("secret", 0x41, nulKey), encrypt("secret", 0x41, "ky"));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CipherFaults, RandomBytesInTheOtherDoubleByteCodePages) {
    std::mt19937 random(7031);
    const std::string keys[] = {kProgramKey, "中齄丂", "日本語키", "\x81\x40\xFF"};
    for (int codePage : {932, 949, 950}) {
        useCodePage(codePage);
        for (int round = 0; round < 200; ++round) {
            std::string bytes(random() % 40, '\0');
            for (char& c : bytes) c = static_cast<char>(random() % 256);
            const std::string& key = keys[round % 4];
            EXPECT_TRUE(platform::isValidUtf8(decrypt(bytes, key))) << codePage;
            const std::string cipher = encrypt(bytes, 1 + static_cast<int>(random() % 255), key);
            EXPECT_TRUE(platform::isValidUtf8(cipher)) << codePage;
            EXPECT_TRUE(platform::isValidUtf8(decrypt(cipher, key))) << codePage;
        }
        // Single-byte text under a single-byte key survives the round trip
        // in every code page (a double-byte key character makes four-digit
        // groups, which decryption does not read back).
        const std::string ascii = "P@ss word;'\"}{";
        EXPECT_EQ(decrypt(encrypt(ascii, 0x7F)), ascii) << codePage;
    }
    // Only an overflow of the 16-bit arithmetic may be reported.
    for (const Message& message : messages.shown) EXPECT_EQ(message.text, "系统错误6Overflow");
}

}  // namespace
}  // namespace dovrel::testing

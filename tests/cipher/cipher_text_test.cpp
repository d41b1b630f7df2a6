// Known cipher texts, worked out by hand from the cipher's rules with the
// program's key, and the behaviour around modes, keys and lengths.
#include <set>

#include "cipher_fixture.h"

namespace dovrel::testing {
namespace {

using CipherTextTest = CipherTest;

TEST_F(CipherTextTest, EncryptsToTheKnownGroups) {
    // 's' 115 + 0x41 = 180, xor 'H' 72 = 0xFC; 'a' 97 + 252 = 349 % 255 = 94, xor 'a' 97 = 0x3F.
    EXPECT_EQ(encrypt("sa", 0x41), "41FC3F");
    EXPECT_EQ(decrypt("41FC3F"), "sa");

    // 32 characters: characters 31 and 32 use key characters 1 and 2 again;
    // the 24th value is 7 and is written " 7".
    const std::string password = "P@ssw0rd-Lenient-Harbor-2024!xyz";
    const std::string expected = "41D97B9C7286C417104CB45DB946CE49D46CD346988E9225 757F4421754ED2FC8";
    EXPECT_EQ(encrypt(password, 0x41), expected);
    EXPECT_EQ(decrypt(expected), password);

    // Values below 16 take a space; the one-digit seed takes a "0".
    EXPECT_EQ(encrypt("AG", 0x01), "01 A30");
    EXPECT_EQ(decrypt("01 A30"), "AG");
    EXPECT_EQ(encrypt("", 0x0A), "0A");
    EXPECT_EQ(encrypt("", 0xFF), "FF");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CipherTextTest, DecryptionReadsGroupsLeniently) {
    EXPECT_EQ(decrypt("41fc3f"), "sa");
    // The last lone character is a group: "4" xor 'r' 114 = 118, minus 0x3F gives '7'.
    EXPECT_EQ(decrypt("41FC3F4"), "sa7");
    // Tabs and line feeds read like the padding space.
    const std::string cipher = "41D97B9C7286C417104CB45DB946CE49D46CD346988E9225 757F4421754ED2FC8";
    ASSERT_EQ(cipher.substr(48, 2), " 7");
    std::string withTab = cipher, withLineFeed = cipher;
    withTab[48] = '\t';
    withLineFeed[48] = '\n';
    EXPECT_EQ(decrypt(withTab), decrypt(cipher));
    EXPECT_EQ(decrypt(withLineFeed), decrypt(cipher));
    // The first other character ends a number; no digit reads 0.
    EXPECT_EQ(decrypt("41z7"), decrypt("41 0"));
    EXPECT_EQ(decrypt("417z"), decrypt("41 7"));
    EXPECT_EQ(decrypt("zzFC3F"), decrypt("00FC3F"));
    EXPECT_NE(decrypt("41 7"), decrypt("41 0"));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CipherTextTest, LengthsAndShortTexts) {
    for (int n = 0; n <= 40; ++n) {
        const std::string text(static_cast<std::size_t>(n), static_cast<char>('!' + n));
        const std::string cipher = encrypt(text, 1 + n * 6);
        EXPECT_EQ(cipher.size(), 2 + 2 * static_cast<std::size_t>(n)) << n;
        EXPECT_EQ(cipher.find_first_not_of("0123456789ABCDEF "), std::string::npos) << cipher;
        EXPECT_NE(cipher[0], ' ');
        EXPECT_NE(cipher[1], ' ');
        for (std::size_t g = 2; g < cipher.size(); g += 2) EXPECT_NE(cipher[g + 1], ' ') << cipher;
        EXPECT_EQ(decrypt(cipher), text);
    }
    EXPECT_EQ(decrypt(""), "");
    EXPECT_EQ(decrypt("4"), "");
    EXPECT_EQ(decrypt("41"), "");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CipherTextTest, ModesIgnoreCaseAndOthersGiveNothing) {
    fixSeed(0x41);
    EXPECT_EQ(CipherText("e", kProgramKey, "sa"), "41FC3F");
    EXPECT_EQ(CipherText("d", kProgramKey, "41FC3F"), "sa");
    for (const char* mode : {"", "x", "EE", "Encrypt", "DE", " E"}) {
        EXPECT_EQ(CipherText(mode, kProgramKey, "sa"), "") << mode;
        EXPECT_EQ(CipherText(mode, kProgramKey, "41FC3F"), "") << mode;
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CipherTextTest, EmptyKeyIsAnErrorOnlyWhereAKeyCharacterIsNeeded) {
    EXPECT_EQ(encrypt("", 0x41, ""), "41");
    EXPECT_EQ(decrypt("41", ""), "");
    EXPECT_TRUE(messages.shown.empty());

    EXPECT_EQ(encrypt("sa", 0x41, ""), "");
    EXPECT_EQ(decrypt("41FC3F", ""), "");
    EXPECT_EQ(decrypt("41F", ""), "");
    ASSERT_EQ(messages.shown.size(), 3u);
    for (const Message& message : messages.shown) {
        EXPECT_EQ(message.text, "系统错误5Invalid procedure call or argument");
        EXPECT_EQ(message.icon, MessageIcon::None);
        EXPECT_EQ(message.buttons, MessageButtons::Ok);
        EXPECT_EQ(message.title, kAppTitle);
    }
}

TEST_F(CipherTextTest, KeyLongerThan32767CharactersOverflows) {
    const std::string longest(32767, 'k');
    EXPECT_EQ(encrypt("", 0x41, longest), "41");
    EXPECT_EQ(decrypt(encrypt("sa", 0x41, longest), longest), "sa");
    EXPECT_TRUE(messages.shown.empty());

    const std::string tooLong(32768, 'k');
    EXPECT_EQ(encrypt("", 0x41, tooLong), "");
    EXPECT_EQ(decrypt("41FC3F", tooLong), "");
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text, "系统错误6Overflow");
    EXPECT_EQ(messages.shown[1].text, "系统错误6Overflow");

    // Counted in characters, not bytes: 20000 two-byte characters fit.
    const std::string wide = [] {
        std::string s;
        for (int k = 0; k < 20000; ++k) s += "é";
        return s;
    }();
    EXPECT_EQ(decrypt(encrypt("sa", 0x41, wide), wide), "sa");
    EXPECT_EQ(messages.shown.size(), 2u);
}

TEST_F(CipherTextTest, CodesZeroAnd255ShareAGroup) {
    const std::string nul(1, '\0');
    const std::string yDiaeresis = "ÿ";  // 255 in code page 1252
    EXPECT_EQ(encrypt(nul, 0x41), "41 9");
    EXPECT_EQ(encrypt(yDiaeresis, 0x41), "41 9");
    EXPECT_EQ(decrypt("41 9"), yDiaeresis);  // previous value below 255
    EXPECT_EQ(encrypt(nul, 0xFF), "FF48");
    EXPECT_EQ(encrypt(yDiaeresis, 0xFF), "FF48");
    EXPECT_EQ(decrypt("FF48"), nul);  // previous value 255
    // A NUL inside the text takes its group like any character and comes back as 255.
    const std::string cipher = encrypt(std::string("a\0b", 3), 0x20);
    EXPECT_EQ(cipher.size(), 8u);
    EXPECT_EQ(decrypt(cipher), "aÿb");
}

TEST_F(CipherTextTest, DoubleByteCharacters) {
    useCodePage(936);
    // 中 is D6D0 (-10544): -10479 % 255 = -24, xor 'H' gives FFA0.
    EXPECT_EQ(encrypt("中", 0x41), "41FFA0");
    // Read back as two groups: 'v', then 193, a lone lead byte, which is no character.
    EXPECT_EQ(decrypt("41FFA0"), "v\xEF\xBF\xBD");
    EXPECT_EQ(encrypt("a中b", 0x41), "41EAFFF327");
    EXPECT_NE(decrypt("41EAFFF327"), "a中b");
    // A double-byte key character: positive values above 255 keep all their digits.
    EXPECT_EQ(encrypt("中", 0x41, "中"), "412938");
    EXPECT_EQ(encrypt("中", 0x41, "齄"), "41816");
    EXPECT_TRUE(messages.shown.empty());

    // 'a' xor 丂 (8140) is near -32768; adding the code of 丂 (-32448) overflows.
    // The group already made for 'a' is dropped.
    EXPECT_EQ(encrypt("a丂", 0x41, "丂"), "");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "系统错误6Overflow");
}

TEST_F(CipherTextTest, CharactersOutsideTheCodePageCountAsQuestionMarks) {
    EXPECT_EQ(encrypt("中", 0x41), encrypt("?", 0x41));
    EXPECT_EQ(decrypt(encrypt("a中b", 0x41)), "a?b");
    useCodePage(936);
    EXPECT_EQ(decrypt(encrypt("x😀", 0x41)), "x?");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CipherTextTest, SeedsDifferBetweenEncryptions) {
    std::set<std::string> ciphers;
    for (int k = 0; k < 20; ++k) {
        const std::string cipher = CipherText("E", kProgramKey, "sa");
        EXPECT_EQ(decrypt(cipher), "sa");
        ciphers.insert(cipher);
    }
    EXPECT_GT(ciphers.size(), 1u);
}

TEST_F(CipherTextTest, EverySeedFrom1To255Occurs) {
    std::set<std::string> seeds;
    for (int k = 0; k < 50000 && seeds.size() < 255; ++k) {
        const std::string cipher = CipherText("E", kProgramKey, "");
        ASSERT_EQ(cipher.size(), 2u);
        ASSERT_NE(cipher, "00");
        ASSERT_EQ(cipher.find_first_not_of("0123456789ABCDEF"), std::string::npos) << cipher;
        seeds.insert(cipher);
    }
    EXPECT_EQ(seeds.size(), 255u);
}

}  // namespace
}  // namespace dovrel::testing

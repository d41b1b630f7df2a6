#pragma once
// Common ground of the cipher tests: a fixed code page, recorded messages
// and, when a test asks for it, a fixed seed.
#include <gtest/gtest.h>

#include <string>

#include "cipher/cipher_text.h"
#include "platform/codepage.h"
#include "platform/messages.h"
#include "support/test_doubles.h"

namespace dovrel::testing {

// The program's key text (kept in the data layer, above the cipher).
inline const std::string kProgramKey = "Harbor kq,Greetings to Unseal!";

class CipherTest : public ::testing::Test {
protected:
    void SetUp() override { platform::overrideCodePages(platform::CodePages{1252, 437}); }
    void TearDown() override {
        setCipherSeedSource(nullptr);
        platform::overrideCodePages(std::nullopt);
    }

    void useCodePage(int ansi) { platform::overrideCodePages(platform::CodePages{ansi, ansi}); }
    void fixSeed(int seed) {
        setCipherSeedSource([seed] { return seed; });
    }
    std::string encrypt(const std::string& text, int seed, const std::string& key = kProgramKey) {
        fixSeed(seed);
        return CipherText("E", key, text);
    }
    std::string decrypt(const std::string& text, const std::string& key = kProgramKey) {
        return CipherText("D", key, text);
    }

    RecordingMessageSink messages;
    platform::ScopedOverride<MessageSink> scopedSink{messages};
};

}  // namespace dovrel::testing

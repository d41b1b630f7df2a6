// Decryption of any text, under both code pages the program meets: always
// a result, always valid UTF-8, never a crash.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cipher/cipher_text.h"
#include "platform/codepage.h"
#include "platform/messages.h"
#include "support/test_doubles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace dovrel;
    static RecordingMessageSink sink;  // errors are messages, not crashes
    static platform::ScopedOverride<MessageSink> scoped(sink);
    sink.shown.clear();
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (int codePage : {936, 1252}) {
        platform::overrideCodePages(platform::CodePages{codePage, codePage});
        const std::string plain = CipherText("D", "Harbor kq,Greetings to Unseal!", text);
        if (!platform::isValidUtf8(plain)) std::abort();
    }
    return 0;
}

#include "platform/console.h"

#include <langinfo.h>
#include <locale.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <streambuf>
#include <tuple>

#include "platform/iconv_handle.h"
#include "platform/utf8_check.h"

namespace dovrel::platform {
namespace {

// The character set of the environment's locale, read without changing the
// program's own locale.
std::string consoleCharset() {
    const locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr)) return "UTF-8";  // an unknown locale: the C one would be ASCII
    std::string charset = nl_langinfo_l(CODESET, locale);
    freelocale(locale);
    return charset;
}

bool isUtf8(const std::string& charset) {
    return charset == "UTF-8" || charset == "utf8" || charset == "UTF8" || charset == "ANSI_X3.4-1968";
}

// UTF-8 to `converter`'s encoding; a character it cannot show becomes "?".
std::string fromUtf8(const IconvHandle& converter, std::string_view text) {
    std::string out;
    char buffer[1024];
    while (!text.empty()) {
        char* in = const_cast<char*>(text.data());
        std::size_t inLeft = text.size();
        char* dest = buffer;
        std::size_t destLeft = sizeof buffer;
        const std::size_t result = iconv(converter.get(), &in, &inLeft, &dest, &destLeft);
        out.append(buffer, static_cast<std::size_t>(dest - buffer));
        text.remove_prefix(text.size() - inLeft);
        if (result == static_cast<std::size_t>(-1) && errno == EILSEQ) {
            const std::size_t length = utf8::sequenceLength(text, 0);
            text.remove_prefix(length == 0 ? 1 : length);
            out += '?';
        } else if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            break;  // a sequence cut at the end: nothing more to write
        }
    }
    return out;
}

// How many bytes at the end of `text` begin a character not yet complete.
std::size_t incompleteTail(std::string_view text) {
    for (std::size_t back = 1; back <= 4 && back <= text.size(); ++back) {
        const auto byte = static_cast<unsigned char>(text[text.size() - back]);
        if ((byte & 0xC0) == 0x80) continue;  // a continuation: its lead is further back
        const std::size_t expected = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return expected > back ? back : 0;
    }
    return 0;
}

// A stream buffer that collects UTF-8 and hands whole characters, converted,
// to the stream's own buffer.
class ConvertingBuffer : public std::streambuf {
public:
    ConvertingBuffer(std::streambuf* target, IconvHandle converter)
        : target_(target), converter_(std::move(converter)) {}
    ~ConvertingBuffer() override { sync(); }

protected:
    int_type overflow(int_type c) override {
        if (c == traits_type::eof()) return traits_type::not_eof(c);
        pending_ += static_cast<char>(c);
        if (c == '\n') sync();
        return c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        pending_.append(s, static_cast<std::size_t>(n));
        if (pending_.find('\n') != std::string::npos) sync();
        return n;
    }
    int sync() override {
        // A character cut at the end waits for its remaining bytes.
        const std::size_t whole = pending_.size() - incompleteTail(pending_);
        const std::string out = fromUtf8(converter_, std::string_view(pending_).substr(0, whole));
        pending_.erase(0, whole);
        target_->sputn(out.data(), static_cast<std::streamsize>(out.size()));
        return target_->pubsync();
    }

private:
    std::streambuf* target_;
    IconvHandle converter_;
    std::string pending_;
};

}  // namespace

std::optional<std::vector<std::string>> commandLineArguments(int argc, char** argv, std::string& error) {
    const std::string charset = consoleCharset();
    const IconvHandle converter = isUtf8(charset) ? IconvHandle() : IconvHandle::open("UTF-8", charset.c_str());
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        std::string text = argv[i];
        if (converter.valid()) {
            std::string out(text.size() * 4 + 4, '\0');
            char* in = text.data();
            std::size_t inLeft = text.size();
            char* dest = out.data();
            std::size_t destLeft = out.size();
            iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
            if (iconv(converter.get(), &in, &inLeft, &dest, &destLeft) == static_cast<std::size_t>(-1)) {
                error = "argument " + std::to_string(i) + " is not text in the locale's character set " + charset;
                return std::nullopt;
            }
            out.resize(out.size() - destLeft);
            text = std::move(out);
        } else if (!utf8::validBySequence(text)) {
            error = "argument " + std::to_string(i) + " is not UTF-8 text, as the locale's character set says";
            return std::nullopt;
        }
        arguments.push_back(std::move(text));
    }
    return arguments;
}

struct ConsoleText::Streams {
    std::unique_ptr<ConvertingBuffer> out, err;
    std::streambuf* previousOut = nullptr;
    std::streambuf* previousErr = nullptr;
};

ConsoleText::ConsoleText() : streams_(std::make_unique<Streams>()) {
    const std::string charset = consoleCharset();
    if (isUtf8(charset)) return;
    for (auto [stream, buffer, previous] : {std::tuple{&std::cout, &streams_->out, &streams_->previousOut},
                                            std::tuple{&std::cerr, &streams_->err, &streams_->previousErr}}) {
        IconvHandle converter = IconvHandle::open(charset.c_str(), "UTF-8");
        if (!converter.valid()) continue;
        *buffer = std::make_unique<ConvertingBuffer>(stream->rdbuf(), std::move(converter));
        *previous = stream->rdbuf(buffer->get());
    }
}

ConsoleText::~ConsoleText() {
    std::cout.flush();
    std::cerr.flush();
    if (streams_->previousOut) std::cout.rdbuf(streams_->previousOut);
    if (streams_->previousErr) std::cerr.rdbuf(streams_->previousErr);
}

}  // namespace dovrel::platform

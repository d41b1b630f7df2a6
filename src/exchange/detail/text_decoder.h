#pragma once
// Bytes of some encoding to UTF-8 through iconv (on Windows through the
// system's code pages), a piece at a time, with every byte sequence the
// encoding cannot read replaced by U+FFFD and counted, so that a caller can
// refuse or report them.
#ifndef _WIN32
#include <iconv.h>
#endif

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#ifdef _WIN32
#include "platform/win/code_page_reader.h"
#else
#include "platform/iconv_handle.h"
#endif
#include "platform/utf8_check.h"

namespace dovrel::exchange::detail {

#ifndef _WIN32
using platform::IconvHandle;
#endif

class TextDecoder {
public:
    // A decoder from the iconv encoding `name` ("GBK", "CP936", "UTF-16LE",
    // ...); nullopt when iconv does not know it.
    static std::optional<TextDecoder> open(const std::string& name);

    // Decodes `bytes` onto `out`. A sequence cut at the end of `bytes` waits
    // for the next piece; `last` says there is none.
    void decode(std::string_view bytes, bool last, std::string& out);

    // How many sequences were replaced, and where the first replacement
    // begins in the output (npos when none).
    std::size_t replaced() const { return replaced_; }
    std::size_t firstReplaced() const { return firstReplaced_; }

private:
#ifdef _WIN32
    explicit TextDecoder(platform::win::CodePageReader reader) : reader_(std::move(reader)) {}
    platform::win::CodePageReader reader_;
#else
    TextDecoder(IconvHandle handle, std::size_t unit) : handle_(std::move(handle)), unit_(unit) {}
    IconvHandle handle_;
    std::size_t unit_;  // bytes to step over an unreadable sequence: 1, or a UTF-16/32 code unit
#endif
    void replace(std::string& out) {
        if (replaced_++ == 0) firstReplaced_ = out.size();
        out += platform::utf8::kReplacement;
    }
    // `bytes` behind what the last piece left cut; `joined` keeps them.
    std::string_view afterCarry(std::string_view bytes, std::string& joined) {
        if (carry_.empty()) return bytes;
        joined = std::move(carry_);
        joined.append(bytes);
        carry_.clear();
        return joined;
    }

    std::string carry_;  // the start of a sequence cut at the end of the last piece
    std::size_t replaced_ = 0;
    std::size_t firstReplaced_ = std::string::npos;
};

// The UTF-8 replacement character.
inline constexpr std::string_view kReplacementCharacter = platform::utf8::kReplacement;

}  // namespace dovrel::exchange::detail

#pragma once
// Text in a named encoding read through Windows' code pages, a piece at a
// time and with the stops iconv makes: at a sequence the encoding cannot
// read, or at one cut at the end of the bytes given. (Windows converts
// whole texts only and does not say where one goes wrong.)
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace dovrel::platform::win {

class CodePageReader {
public:
    // The reader of an encoding as iconv names it ("GBK", "CP936", "BIG5",
    // "GB18030", "SHIFT_JIS", "UTF-16LE", "UTF-16", "ISO-8859-1", ...; case,
    // "-" and "_" do not matter); nullopt when Windows cannot read it here.
    static std::optional<CodePageReader> open(std::string_view name);

    enum class Stop { End, Unreadable, Cut };
    struct Read {
        std::size_t used;  // bytes read
        Stop stop;         // what follows them: nothing, an unreadable sequence, a cut one
    };
    // Appends the UTF-8 of the whole sequences at the start of `bytes`.
    Read read(std::string_view bytes, std::string& out);

    // Bytes to step over an unreadable sequence: a code unit.
    std::size_t unit() const;

private:
    enum class Kind { CodePage, Utf8, Utf16, Utf32 };
    CodePageReader(Kind kind, unsigned codePage) : kind_(kind), codePage_(codePage) {}

    Read readCodePage(std::string_view bytes, std::string& out) const;
    Read readUnits(std::string_view bytes, std::string& out);
    std::size_t sequenceLength(std::string_view bytes, std::size_t at) const;

    Kind kind_;
    unsigned codePage_;
    bool bigEndian_ = false;
    bool markPending_ = false;      // "UTF-16" and "UTF-32": a byte-order mark may come first
    std::array<bool, 256> lead_{};  // bytes that begin a double-byte sequence
};

}  // namespace dovrel::platform::win

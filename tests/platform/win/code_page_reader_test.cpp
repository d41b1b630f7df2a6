// Named encodings without iconv: the exchange's decoder on Windows reads
// through the system's code pages and stops, replaces and counts as iconv
// would, however the bytes are cut into pieces.
#include "platform/win/code_page_reader.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "exchange/detail/text_decoder.h"

namespace dovrel::platform::win {
namespace {

using exchange::detail::TextDecoder;

struct Decoded {
    std::string text;
    std::size_t replaced;
};

// The bytes decoded in two pieces, cut at `cut`.
Decoded decodeCut(const std::string& encoding, const std::string& bytes, std::size_t cut) {
    std::optional<TextDecoder> decoder = TextDecoder::open(encoding);
    if (!decoder) return {"(unknown)", 0};
    std::string out;
    decoder->decode(std::string_view(bytes).substr(0, cut), false, out);
    decoder->decode(std::string_view(bytes).substr(cut), true, out);
    return {out, decoder->replaced()};
}

TEST(CodePageReader, DecodesReplacesAndCountsWhereverThePiecesEnd) {
    const struct {
        const char* encoding;
        std::string bytes;
        std::string text;
        std::size_t replaced;
    } cases[] = {
        {"GBK",
         "\xD5\xC5\xC8\xFD"
         "A",
         "张三A", 0},
        {"cp936",
         "\x81\x20"
         "B",
         "\xEF\xBF\xBD B", 1},                               // a lead byte without its trail
        {"gb_2312", "A\xD5", "A\xEF\xBF\xBD", 1},            // the file ends inside a character
        {"GB18030", "\xD6\xD0\x95\x32\x82\x36", "中𠀀", 0},  // two and four bytes
        {"big5", "\xB1\x69\xA4\x54", "張三", 0},
        {"Windows-1252",
         "\x80"
         "e\xE9",
         "€eé", 0},
        {"ISO-8859-1", "\xE9", "é", 0},
        {"UTF-16LE", std::string("A\0\x2D\x4E\x3D\xD8\x00\xDE", 8), "A中😀", 0},
        {"utf-16be", std::string("\xDC\x00\0B", 4),
         "\xEF\xBF\xBD"
         "B",
         1},                                                      // a lone low surrogate
        {"UTF16LE", std::string("A\0B", 3), "A\xEF\xBF\xBD", 1},  // half a code unit at the end
        {"UTF-16",
         std::string("\xFF\xFE"
                     "A\0",
                     4),
         "A", 0},                                   // the mark decides the order
        {"UTF-16", std::string("\0A", 2), "A", 0},  // no mark: big-endian
        {"UTF-32LE", std::string("\x00\xF6\x01\x00", 4), "😀", 0},
        {"utf-8", "a\xE4\xB8\xAD\xFF", "a中\xEF\xBF\xBD", 1},
    };
    for (const auto& c : cases) {
        // Wine has no GB18030 code page; Windows has.
        if (std::string_view(c.encoding) == "GB18030" && !IsValidCodePage(54936)) continue;
        for (std::size_t cut = 0; cut <= c.bytes.size(); ++cut) {
            const Decoded decoded = decodeCut(c.encoding, c.bytes, cut);
            EXPECT_EQ(decoded.text, c.text) << c.encoding << " cut at " << cut;
            EXPECT_EQ(decoded.replaced, c.replaced) << c.encoding << " cut at " << cut;
        }
    }
}

TEST(CodePageReader, EncodingsWindowsCannotReadHereAreRefused) {
    for (const char* name : {"no-such-encoding", "ISO-2022-JP", "UTF-7", "UTF-16XX", "CP12345", ""})
        EXPECT_FALSE(CodePageReader::open(name)) << name;
}

}  // namespace
}  // namespace dovrel::platform::win

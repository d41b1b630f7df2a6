#include "exchange/detail/encoding_guess.h"

#include <cstdint>
#include <cstring>

#include "platform/utf8_check.h"

namespace dovrel::exchange::detail {
namespace {

struct Tally {
    std::size_t characters = 0;   // characters outside ASCII
    std::size_t implausible = 0;  // of them, the unlikely ones
    bool valid = true;
};

bool in(unsigned char c, unsigned low, unsigned high) { return c >= low && c <= high; }

// The next byte at or after `i` that is not ASCII (the size when none).
std::size_t nextHighByte(std::string_view bytes, std::size_t i) {
    for (std::uint64_t word; i + 8 <= bytes.size(); i += 8) {
        std::memcpy(&word, bytes.data() + i, 8);
        if (word & 0x8080808080808080u) break;
    }
    while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80) ++i;
    return i;
}

// A UTF-8 character judged by the block its first two bytes place it in.
bool plausibleUtf8(unsigned char lead, unsigned char second) {
    switch (lead) {
    case 0xC2: return second >= 0xA0;  // Latin-1 signs
    case 0xC3: return true;            // Latin-1 letters
    case 0xE2:
        return in(second, 0x80, 0x81) || in(second, 0x84, 0x86)      // punctuation, letter-like, numbers
               || in(second, 0x91, 0x93) || in(second, 0x96, 0x97);  // circled numbers, shapes
    case 0xE3: return in(second, 0x80, 0x84) || second >= 0x90;      // CJK punctuation, kana, extension A
    case 0xE4: return true;                                          // extension A, unified ideographs
    case 0xE5:
    case 0xE6:
    case 0xE7:
    case 0xE8:
    case 0xE9: return true;            // unified ideographs
    case 0xEA: return second >= 0xB0;  // Hangul
    case 0xEB:
    case 0xEC: return true;
    case 0xED: return second <= 0x9E;
    case 0xEF: return in(second, 0xA4, 0xAB) || second >= 0xBC;  // compatibility ideographs, full width
    default: return false;
    }
}

Tally tallyUtf8(std::string_view bytes) {
    Tally tally;
    for (std::size_t i = nextHighByte(bytes, 0); i < bytes.size(); i = nextHighByte(bytes, i)) {
        const std::size_t length = platform::utf8::sequenceLength(bytes, i);
        if (length == 0) return {0, 0, false};
        ++tally.characters;
        tally.implausible +=
            !plausibleUtf8(static_cast<unsigned char>(bytes[i]), static_cast<unsigned char>(bytes[i + 1]));
        i += length;
    }
    return tally;
}

// The byte structure of a double-byte code page: its lead bytes, the trail
// bytes they take, and where its main character set lies.
struct DoubleByteCodePage {
    bool (*lead)(unsigned char);
    bool (*trail)(unsigned char);
    bool (*main)(unsigned char lead, unsigned char trail);
    bool (*single)(unsigned char);  // a byte above 0x7F that stands alone
};

const DoubleByteCodePage* doubleByteCodePage(int codePage) {
    static const DoubleByteCodePage gbk{
        [](unsigned char c) { return in(c, 0x81, 0xFE); },
        [](unsigned char c) { return in(c, 0x40, 0xFE) && c != 0x7F; },
        // GB 2312: symbols in rows A1-A9, characters in B0-F7, trail bytes A1-FE.
        [](unsigned char l, unsigned char t) { return (in(l, 0xA1, 0xA9) || in(l, 0xB0, 0xF7)) && in(t, 0xA1, 0xFE); },
        [](unsigned char c) { return c == 0x80; }};
    static const DoubleByteCodePage big5{[](unsigned char c) { return in(c, 0x81, 0xFE); },
                                         [](unsigned char c) { return in(c, 0x40, 0x7E) || in(c, 0xA1, 0xFE); },
                                         [](unsigned char l, unsigned char) { return in(l, 0xA1, 0xF9); },
                                         [](unsigned char c) { return c == 0x80; }};
    static const DoubleByteCodePage uhc{
        [](unsigned char c) { return in(c, 0x81, 0xFE); },
        [](unsigned char c) { return in(c, 0x41, 0x5A) || in(c, 0x61, 0x7A) || in(c, 0x81, 0xFE); },
        // KS X 1001: symbols A1-AC, Hangul B0-C8, Hanja CA-FD, trail bytes A1-FE.
        [](unsigned char l, unsigned char t) { return in(l, 0xA1, 0xFD) && in(t, 0xA1, 0xFE); },
        [](unsigned char c) { return c == 0x80; }};
    static const DoubleByteCodePage shiftJis{
        [](unsigned char c) { return in(c, 0x81, 0x9F) || in(c, 0xE0, 0xFC); },
        [](unsigned char c) { return in(c, 0x40, 0x7E) || in(c, 0x80, 0xFC); },
        [](unsigned char l, unsigned char) { return in(l, 0x81, 0x9F) || in(l, 0xE0, 0xEF); },
        [](unsigned char c) { return in(c, 0xA1, 0xDF); }};
    switch (codePage) {
    case 936: return &gbk;
    case 950: return &big5;
    case 949: return &uhc;
    case 932: return &shiftJis;
    default: return nullptr;
    }
}

Tally tallyDoubleByte(std::string_view bytes, const DoubleByteCodePage& page) {
    Tally tally;
    for (std::size_t i = nextHighByte(bytes, 0); i < bytes.size(); i = nextHighByte(bytes, i)) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        ++tally.characters;
        if (page.single(lead)) {
            ++tally.implausible;
            ++i;
        } else if (page.lead(lead) && i + 1 < bytes.size() && page.trail(static_cast<unsigned char>(bytes[i + 1]))) {
            tally.implausible += !page.main(lead, static_cast<unsigned char>(bytes[i + 1]));
            i += 2;
        } else {
            return {0, 0, false};  // not this code page at all: stop at once
        }
    }
    return tally;
}

double share(std::size_t part, std::size_t whole) {
    return whole ? static_cast<double>(part) / static_cast<double>(whole) : 0;
}

}  // namespace

EncodingGuess guessUtf8OrAnsi(std::string_view bytes, int codePage) {
    // A single-byte code page rarely forms UTF-8 by chance (a letter and a
    // sign such as "Ã©"), so valid UTF-8 is taken for what it is.
    const DoubleByteCodePage* page = doubleByteCodePage(codePage);
    if (!page) return EncodingGuess::Utf8;
    const Tally ansi = tallyDoubleByte(bytes, *page);
    if (!ansi.valid) return EncodingGuess::Utf8;
    const Tally utf8 = tallyUtf8(bytes);
    const double oddUtf8 = share(utf8.implausible, utf8.characters);
    const double oddAnsi = share(ansi.implausible, ansi.characters);
    if (utf8.implausible == 0 && ansi.implausible > 0) return EncodingGuess::Utf8;
    if (ansi.implausible == 0 && utf8.implausible > 0) return EncodingGuess::Ansi;
    // Long files with a few odd characters: a clear majority decides.
    if (oddUtf8 <= 0.05 && oddAnsi >= 0.25) return EncodingGuess::Utf8;
    if (oddAnsi <= 0.05 && oddUtf8 >= 0.25) return EncodingGuess::Ansi;
    return EncodingGuess::Uncertain;
}

}  // namespace dovrel::exchange::detail

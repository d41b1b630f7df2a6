// isValidUtf8 (declared in codepage.h): whether bytes are UTF-8 decides how
// a source file of the table exchange is read, and such files run to
// hundreds of megabytes of mixed ASCII and Chinese. So where the processor
// has SSSE3 the bytes are checked sixteen at a time, by the table-lookup
// method of Keiser and Lemire ("Validating UTF-8 in less than one
// instruction per byte", 2021); elsewhere one sequence at a time.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/codepage.h"
#include "platform/utf8_check.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define DOVREL_UTF8_SSSE3 1
#endif

namespace dovrel::platform {
namespace {

#ifdef DOVREL_UTF8_SSSE3

// Every pair of neighbouring bytes is classified three ways: by the high and
// the low half of the first byte and the high half of the second. Each
// lookup gives the set of faults the pair might show, as bits; a fault is
// real when all three agree. What pairs cannot see (the third and fourth
// byte of a sequence must be continuations) is checked against the lead
// two and three bytes back.
constexpr std::uint8_t kTooShort = 1 << 0;      // lead, then no continuation
constexpr std::uint8_t kTooLong = 1 << 1;       // ASCII, then a continuation
constexpr std::uint8_t kOverlong3 = 1 << 2;     // E0, then 80..9F
constexpr std::uint8_t kTooLarge = 1 << 3;      // F4, then 90..BF; F5..FF
constexpr std::uint8_t kSurrogate = 1 << 4;     // ED, then A0..BF
constexpr std::uint8_t kOverlong2 = 1 << 5;     // C0 or C1
constexpr std::uint8_t kTooLarge1000 = 1 << 6;  // F5..FF, then 80..8F
constexpr std::uint8_t kOverlong4 = 1 << 6;     // F0, then 80..8F
constexpr std::uint8_t kTwoConts = 1 << 7;      // a continuation after a continuation (fine inside a sequence)
constexpr std::uint8_t kCarry = kTooShort | kTooLong | kTwoConts;

constexpr std::uint8_t kLarge = kCarry | kTooLarge | kTooLarge1000;
constexpr std::uint8_t kContinuation = kTooLong | kOverlong2 | kTwoConts;
// By the high half of the first byte of a pair.
alignas(16) constexpr std::uint8_t kFirstHigh[16] = {kTooLong,
                                                     kTooLong,
                                                     kTooLong,
                                                     kTooLong,
                                                     kTooLong,
                                                     kTooLong,
                                                     kTooLong,
                                                     kTooLong,  // ASCII
                                                     kTwoConts,
                                                     kTwoConts,
                                                     kTwoConts,
                                                     kTwoConts,  // continuations
                                                     kTooShort | kOverlong2,
                                                     kTooShort,
                                                     kTooShort | kOverlong3 | kSurrogate,  // leads C, D, E
                                                     kTooShort | kTooLarge | kTooLarge1000 | kOverlong4};  // lead F
// By the low half of the first byte.
alignas(16) constexpr std::uint8_t kFirstLow[16] = {kCarry | kOverlong3 | kOverlong2 | kOverlong4,
                                                    kCarry | kOverlong2,
                                                    kCarry,
                                                    kCarry,
                                                    kCarry | kTooLarge,
                                                    kLarge,
                                                    kLarge,
                                                    kLarge,
                                                    kLarge,
                                                    kLarge,
                                                    kLarge,
                                                    kLarge,
                                                    kLarge,
                                                    kLarge | kSurrogate,
                                                    kLarge,
                                                    kLarge};
// By the high half of the second byte.
alignas(16) constexpr std::uint8_t kSecondHigh[16] = {
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,                                                // ASCII
    kContinuation | kOverlong3 | kTooLarge1000 | kOverlong4,  // 80..8F
    kContinuation | kOverlong3 | kTooLarge,                   // 90..9F
    kContinuation | kSurrogate | kTooLarge,
    kContinuation | kSurrogate | kTooLarge,  // A0..BF
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort};  // leads

__m128i load(const std::uint8_t (&table)[16]) { return _mm_load_si128(reinterpret_cast<const __m128i*>(table)); }

// The faults of the block `input` after the block `previous`: all zero when
// there are none.
__attribute__((target("ssse3"))) __m128i blockFaults(__m128i input, __m128i previous) {
    const __m128i lowHalf = _mm_set1_epi8(0x0F);
    const __m128i thirdByteFloor = _mm_set1_epi8(0xE0 - 0x80);   // only leads E0.. reach 80 after subtracting it
    const __m128i fourthByteFloor = _mm_set1_epi8(0xF0 - 0x80);  // only leads F0.. do
    const __m128i prev1 = _mm_alignr_epi8(input, previous, 15);
    const __m128i faults = _mm_and_si128(
        _mm_and_si128(_mm_shuffle_epi8(load(kFirstHigh), _mm_and_si128(_mm_srli_epi16(prev1, 4), lowHalf)),
                      _mm_shuffle_epi8(load(kFirstLow), _mm_and_si128(prev1, lowHalf))),
        _mm_shuffle_epi8(load(kSecondHigh), _mm_and_si128(_mm_srli_epi16(input, 4), lowHalf)));
    const __m128i mustContinue = _mm_or_si128(_mm_subs_epu8(_mm_alignr_epi8(input, previous, 14), thirdByteFloor),
                                              _mm_subs_epu8(_mm_alignr_epi8(input, previous, 13), fourthByteFloor));
    return _mm_xor_si128(_mm_and_si128(mustContinue, _mm_set1_epi8(static_cast<char>(0x80))), faults);
}

__attribute__((target("ssse3"))) bool validBlocks(const unsigned char* p, const unsigned char* end) {
    __m128i previous = _mm_setzero_si128();
    __m128i errors = _mm_setzero_si128();
    for (; end - p >= 16; p += 16) {
        const __m128i input = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        // ASCII after ASCII has nothing to check.
        if (_mm_movemask_epi8(_mm_or_si128(input, previous)) != 0)
            errors = _mm_or_si128(errors, blockFaults(input, previous));
        previous = input;
    }
    // The rest, padded with zeros: a sequence cut short by the end meets
    // ASCII there and fails.
    alignas(16) unsigned char rest[16] = {};
    if (end > p) std::memcpy(rest, p, static_cast<std::size_t>(end - p));
    errors = _mm_or_si128(errors, blockFaults(_mm_load_si128(reinterpret_cast<const __m128i*>(rest)), previous));
    return _mm_movemask_epi8(_mm_cmpeq_epi8(errors, _mm_setzero_si128())) == 0xFFFF;
}

bool hasSsse3() {
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") != 0;
    }();
    return has;
}

#endif

}  // namespace

namespace utf8 {

void append(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}


// Unicode's table of well-formed sequences: the lead byte fixes the length
// and the range of the second byte (which rules out overlong forms,
// surrogates and values past U+10FFFF); later bytes are 80..BF.
std::size_t sequenceLength(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() - pos < length) return 0;
    const auto second = static_cast<unsigned char>(text[pos + 1]);
    if (second < low || second > high) return 0;
    for (std::size_t k = 2; k < length; ++k)
        if ((static_cast<unsigned char>(text[pos + k]) & 0xC0) != 0x80) return 0;
    return length;
}

std::optional<Decoded> decodeAt(std::string_view text, std::size_t pos) {
    const std::size_t length = sequenceLength(text, pos);
    if (length == 0) return std::nullopt;
    const auto lead = static_cast<unsigned char>(text[pos]);
    char32_t value = length == 1 ? lead : static_cast<char32_t>(lead & (0x7F >> length));
    for (std::size_t k = 1; k < length; ++k) value = (value << 6) | (static_cast<unsigned char>(text[pos + k]) & 0x3F);
    return Decoded{value, length};
}

std::string repaired(std::string_view bytes, std::size_t* replaced, std::size_t* firstReplaced) {
    if (replaced) *replaced = 0;
    if (firstReplaced) *firstReplaced = std::string::npos;
    if (isValidUtf8(bytes)) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t length = sequenceLength(bytes, pos);
        if (length == 0) {
            if (firstReplaced && *firstReplaced == std::string::npos) *firstReplaced = out.size();
            if (replaced) ++*replaced;
            out += kReplacement;
            ++pos;
        } else {
            out.append(bytes, pos, length);
            pos += length;
        }
    }
    return out;
}

// Runs of ASCII, most of a typical text, are passed over eight bytes at a time.
bool validBySequence(std::string_view bytes) {
    for (std::size_t pos = 0; pos < bytes.size();) {
        if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
            ++pos;
            for (std::uint64_t word; bytes.size() - pos >= 8; pos += 8) {
                std::memcpy(&word, bytes.data() + pos, 8);
                if (word & 0x8080808080808080u) break;
            }
            continue;
        }
        const std::size_t length = sequenceLength(bytes, pos);
        if (length == 0) return false;
        pos += length;
    }
    return true;
}

std::optional<bool> validByBlock([[maybe_unused]] std::string_view bytes) {
#ifdef DOVREL_UTF8_SSSE3
    if (hasSsse3()) {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
        return validBlocks(p, p + bytes.size());
    }
#endif
    return std::nullopt;
}

}  // namespace utf8

bool isValidUtf8(std::string_view bytes) {
    if (const std::optional<bool> valid = utf8::validByBlock(bytes)) return *valid;
    return utf8::validBySequence(bytes);
}

}  // namespace dovrel::platform

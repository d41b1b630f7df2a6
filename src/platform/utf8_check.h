#pragma once
// The program's one reading of UTF-8: a sequence is well formed or it is an
// error (never another character), and the two ways isValidUtf8
// (platform/codepage.h) checks bytes, one by one, so that tests can hold
// them against each other.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace dovrel::platform::utf8 {

// The length of the well-formed sequence that begins at `pos` of `text` (1
// for ASCII), or 0 when none does there: an overlong form, a surrogate, a
// value past U+10FFFF, a stray continuation byte or a sequence cut short.
std::size_t sequenceLength(std::string_view text, std::size_t pos);

// The character at `pos` and the length of its sequence; nullopt where no
// well-formed sequence begins.
struct Decoded {
    char32_t codePoint;
    std::size_t length;
};
std::optional<Decoded> decodeAt(std::string_view text, std::size_t pos);

// Appends the UTF-8 form of `codePoint` (at most U+10FFFF) to `out`.
void append(std::string& out, char32_t codePoint);

// U+FFFD, written where a result must be text although the bytes are not.
inline constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// `bytes` with every byte that begins no well-formed sequence replaced by
// U+FFFD (one for each byte, so a cut character cannot swallow what
// follows); valid text comes back unchanged. `replaced`, when given,
// counts the replacements and `firstReplaced` receives where the first one
// begins in the result.
std::string repaired(std::string_view bytes, std::size_t* replaced = nullptr, std::size_t* firstReplaced = nullptr);

// One sequence at a time; works on any processor.
bool validBySequence(std::string_view bytes);
// Sixteen bytes at a time; nullopt where the processor cannot (no SSSE3).
std::optional<bool> validByBlock(std::string_view bytes);

}  // namespace dovrel::platform::utf8

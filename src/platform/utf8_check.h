#pragma once
// UTF-8 sequences, and the two ways isValidUtf8 (platform/codepage.h)
// checks bytes, one by one, so that tests can hold them against each other.
#include <cstddef>
#include <optional>
#include <string_view>

namespace dovrel::platform::utf8 {

// The length of the well-formed sequence that begins at `pos` of `text` (1
// for ASCII), or 0 when none does there: an overlong form, a surrogate, a
// value past U+10FFFF, a stray continuation byte or a sequence cut short.
std::size_t sequenceLength(std::string_view text, std::size_t pos);

// One sequence at a time; works on any processor.
bool validBySequence(std::string_view bytes);
// Sixteen bytes at a time; nullopt where the processor cannot (no SSSE3).
std::optional<bool> validByBlock(std::string_view bytes);

}  // namespace dovrel::platform::utf8

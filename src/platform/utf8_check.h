#pragma once
// The two ways isValidUtf8 (platform/codepage.h) checks bytes, one by one,
// so that tests can hold them against each other.
#include <optional>
#include <string_view>

namespace dovrel::platform::utf8 {

// One sequence at a time; works on any processor.
bool validBySequence(std::string_view bytes);
// Sixteen bytes at a time; nullopt where the processor cannot (no SSSE3).
std::optional<bool> validByBlock(std::string_view bytes);

}  // namespace dovrel::platform::utf8

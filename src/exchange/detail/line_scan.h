#pragma once
// The byte scans a source file's lines need, done sixteen bytes at a time
// where the processor allows (SSE2): files run to hundreds of megabytes.
#include <cstddef>
#include <string_view>

namespace dovrel::exchange::detail {

// How many bytes of `text` equal `byte`.
std::size_t countByte(std::string_view text, char byte);

// The line that begins at `begin`: where it ends (its terminator `lineEnd`,
// or the end of the text) and how many tabs it holds.
struct LineExtent {
    std::size_t end = 0;
    std::size_t tabs = 0;
};
LineExtent scanLine(std::string_view text, std::size_t begin, char lineEnd = '\r');

}  // namespace dovrel::exchange::detail

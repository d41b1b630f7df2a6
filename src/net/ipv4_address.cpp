#include "net/ipv4_address.h"

#include <array>

namespace dovrel {
namespace {

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

// One part; nullopt when it is empty, has a digit its base lacks, or does
// not fit 32 bits.
std::optional<uint32_t> parsePart(std::string_view part) {
    unsigned base = 10;
    if (part.size() > 1 && part[0] == '0' && (part[1] == 'x' || part[1] == 'X')) {
        base = 16;
        part.remove_prefix(2);
    } else if (part.size() > 1 && part[0] == '0') {
        base = 8;
        part.remove_prefix(1);
    }
    if (part.empty()) return std::nullopt;
    uint64_t value = 0;
    for (char c : part) {
        const int digit = digitValue(c);
        if (digit >= static_cast<int>(base)) return std::nullopt;
        value = value * base + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFu) return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

}  // namespace

std::optional<uint32_t> parseDottedAddress(std::string_view text) {
    std::array<uint32_t, 4> parts{};
    std::size_t count = 0;
    for (;;) {
        if (count == parts.size()) return std::nullopt;
        const std::size_t dot = text.find('.');
        const auto part = parsePart(text.substr(0, dot));
        if (!part) return std::nullopt;
        parts[count++] = *part;
        if (dot == std::string_view::npos) break;
        text.remove_prefix(dot + 1);
    }
    // Every part but the last is one byte; the last fills the rest.
    const unsigned lastBits = 8 * static_cast<unsigned>(4 - (count - 1));
    uint32_t address = 0;
    for (std::size_t i = 0; i + 1 < count; ++i) {
        if (parts[i] > 0xFF) return std::nullopt;
        address |= parts[i] << (24 - 8 * i);
    }
    if (lastBits < 32 && parts[count - 1] >= (uint32_t{1} << lastBits)) return std::nullopt;
    return address | parts[count - 1];
}

uint32_t InetAddr(std::string_view text) { return parseDottedAddress(text).value_or(kInaddrNone); }

}  // namespace dovrel

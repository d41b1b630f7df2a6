#pragma once
// Dotted IPv4 addresses in the classic address-conversion rule: one to four
// parts separated by dots, each decimal, octal (leading 0) or hexadecimal
// (leading 0x); the last part fills the bytes left ("10.1" is 10.0.0.1).
#include <cstdint>
#include <optional>
#include <string_view>

namespace dovrel {

// The address (host byte order), or nullopt when `text` is not one. The
// whole text must be the address: no blanks, nothing after it.
std::optional<uint32_t> parseDottedAddress(std::string_view text);

// All bits set: what the conversion answers for a text that is no address,
// so the broadcast address 255.255.255.255 cannot be told from a bad one.
inline constexpr uint32_t kInaddrNone = 0xFFFFFFFFu;

// The address, or kInaddrNone.
uint32_t InetAddr(std::string_view text);

}  // namespace dovrel

#pragma once
// The hexadecimal groups of cipher text: how values are written on
// encryption and how groups are read back on decryption.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace dovrel::cipher {

// The seed (1 to 255) as two uppercase digits, "01" to "FF".
std::string formatSeed(int seed);

// One cipher value: uppercase digits without leading zeros, right-aligned
// in two characters with a space; longer values with all their digits; a
// negative value as the four digits of its 16-bit two's complement.
std::string formatGroup(int16_t value);

// Reads characters as a hexadecimal number the lenient way the format has
// always been read: spaces, tabs and line feeds anywhere are ignored, then
// digits (either case) are taken from the start up to the first other
// character; no digit at all reads as 0. Meant for the two-character
// groups; longer input keeps only the low 32 bits.
uint32_t readHex(std::span<const std::string_view> characters);

}  // namespace dovrel::cipher

#pragma once
// Which address, if any, to probe for a server name.
#include <string>
#include <string_view>

namespace dovrel {

// The address to probe for `serverName`, or the empty text when no probe is
// to be made: the name gives no dotted IPv4 address (a computer name, a DNS
// name, computer\instance) or this machine lets the program send no echo at
// all. NUL characters are removed from `serverName` itself. On an
// unexpected error shows "System Error!(...)" and returns the empty text.
std::string ResolveServerAddress(std::string& serverName);

// The derivation alone, for a name without NUL characters: a port
// (",port") is dropped; "." is "127.0.0.1"; a name without a dot gives
// the empty text; a dotted name loses its instance (from its last "\")
// and counts only when what is left, spaces aside, is a dotted IPv4
// address. Throws RuntimeError (overflow) when that backslash stands
// beyond position 32767.
std::string probeAddressFor(std::string_view serverName);

}  // namespace dovrel

#pragma once
// One ICMP echo to the server's host before a connection is tried.
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace dovrel {

// Every probe carries these 6 bytes, without a terminator.
inline constexpr std::string_view kEchoPayload = "vindar";
// How long a probe waits for the reply.
inline constexpr std::chrono::milliseconds kEchoTimeout{500};

// What the echo leaves behind; the probe reads only Status.
struct EchoReply {
    int32_t Status = 0;
    uint32_t RoundTripTime = 0;  // milliseconds, when a reply came
};

// Sends one echo with `payload` to the dotted IPv4 `address` and returns
// its status (also left in reply.Status): 0 for a reply within the
// time-out, an IP status code (11001 to 11255) otherwise, -1 without
// sending anything when the address is no dotted IPv4 address (the
// broadcast address included) or no echo can be sent at all.
int32_t PingAddress(const std::string& address, const std::string& payload, EchoReply& reply);

// True when the host at `address` (spaces around it ignored) answered the
// echo. Never shows a message.
bool PingHost(const std::string& address);

}  // namespace dovrel

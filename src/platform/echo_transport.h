#pragma once
// One ICMP echo request and what became of it, as a seam: the reachability
// probe asks the transport in use; the real one sends through an
// unprivileged ICMP datagram socket where the system allows it, else a raw
// socket (on Windows through the system's ICMP library); tests install a
// scripted one.
//
// "No probe possible" (the system allows neither socket) is kept apart from
// "no reply": the first means the program cannot ask, the second that the
// host did not answer.
#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/seam.h"

namespace dovrel::platform {

struct EchoResult {
    enum class Outcome {
        Reply,        // the matching echo reply arrived in time
        TimedOut,     // nothing matching arrived in time
        IcmpError,    // an ICMP error message about our request came back
        SocketError,  // the request could not be sent or its answer not read (errorNumber says why)
        Unavailable,  // no ICMP socket may be opened: no probe can be made
        IpStatus,     // the system's ICMP library ended the echo with ipStatus
    };
    Outcome outcome = Outcome::TimedOut;
    uint8_t icmpType = 0;  // IcmpError: the error message's type and code
    uint8_t icmpCode = 0;
    int errorNumber = 0;                     // SocketError: the errno of the failed call
    int32_t ipStatus = 0;                    // IpStatus: the library's status code (11001 to 11255)
    std::chrono::milliseconds roundTrip{0};  // Reply
};

class EchoTransport {
public:
    virtual ~EchoTransport() = default;
    // False when this machine lets the program send no echo at all.
    virtual bool available() = 0;
    // Sends one echo request with `payload` to `address` (IPv4, host byte
    // order) and waits at most `timeout` for its reply.
    virtual EchoResult echo(uint32_t address, std::string_view payload, std::chrono::milliseconds timeout) = 0;
};

#ifndef _WIN32  // Windows: platform/win/icmp_echo_transport.h
// The system's ICMP sockets.
class SocketEchoTransport : public EchoTransport {
public:
    enum class SocketKind { Any, DatagramOnly, RawOnly };
    explicit SocketEchoTransport(SocketKind kind = SocketKind::Any) : kind_(kind) {}
    bool available() override;
    EchoResult echo(uint32_t address, std::string_view payload, std::chrono::milliseconds timeout) override;

private:
    SocketKind kind_;
};
#endif

// The real transport of this system: the ICMP library on Windows, the
// sockets elsewhere.
EchoTransport& systemEchoTransport();

// The transport in use: seam<EchoTransport>(), the system's unless another is installed.
EchoTransport& echoTransport();

// The packets themselves, apart from the sockets so they can be checked.
namespace icmp {

inline constexpr uint8_t kEchoReply = 0;
inline constexpr uint8_t kDestinationUnreachable = 3;
inline constexpr uint8_t kSourceQuench = 4;
inline constexpr uint8_t kEchoRequest = 8;
inline constexpr uint8_t kTimeExceeded = 11;
inline constexpr uint8_t kParameterProblem = 12;

// The Internet checksum (ones' complement of the ones' complement sum).
uint16_t checksum(const uint8_t* data, std::size_t size);

// An echo request: header with checksum, then the payload bytes.
std::vector<uint8_t> echoRequest(uint16_t identifier, uint16_t sequence, std::string_view payload);

// What we sent, to tell our reply from any other ICMP traffic.
struct RequestKey {
    uint32_t address;  // destination, host byte order
    uint16_t identifier;
    uint16_t sequence;
    std::string_view payload;
    bool withIpHeader;     // raw sockets deliver the IP header, datagram sockets do not
    bool checkIdentifier;  // datagram sockets rewrite the identifier
};

// Reply or IcmpError when `packet`, received from `from` (host byte
// order), answers the request of `key`; nullopt for anything else (other
// programs' echoes, our own request seen on loopback, truncated packets).
std::optional<EchoResult> matchReceived(const uint8_t* packet, std::size_t size, uint32_t from, const RequestKey& key);

}  // namespace icmp
}  // namespace dovrel::platform

#include "net/ping.h"

#include <cerrno>

#include "net/echo_status.h"
#include "net/ipv4_address.h"
#include "platform/echo_transport.h"
#include "platform/text.h"

namespace dovrel {
namespace {

using platform::EchoResult;
using Outcome = EchoResult::Outcome;

int32_t destinationUnreachableStatus(uint8_t code) {
    switch (code) {
    case 0:   // network
    case 6:   // network unknown
    case 9:   // network administratively prohibited
    case 11:  // network unreachable for the type of service
        return ipstatus::DestNetUnreachable;
    case 2: return ipstatus::DestProtUnreachable;
    case 3: return ipstatus::DestPortUnreachable;
    case 4: return ipstatus::PacketTooBig;  // fragmentation needed
    case 5: return ipstatus::BadRoute;      // source route failed
    default: return ipstatus::DestHostUnreachable;
    }
}

int32_t icmpErrorStatus(uint8_t type, uint8_t code) {
    switch (type) {
    case platform::icmp::kDestinationUnreachable: return destinationUnreachableStatus(code);
    case platform::icmp::kSourceQuench: return ipstatus::SourceQuench;
    case platform::icmp::kTimeExceeded: return code == 0 ? ipstatus::TtlExpiredTransit : ipstatus::TtlExpiredReassem;
    case platform::icmp::kParameterProblem: return ipstatus::ParamProblem;
    default: return ipstatus::GeneralFailure;
    }
}

int32_t socketErrorStatus(int errorNumber) {
    switch (errorNumber) {
    case ENETUNREACH: return ipstatus::DestNetUnreachable;
    case EHOSTUNREACH: return ipstatus::DestHostUnreachable;
    case EMSGSIZE: return ipstatus::PacketTooBig;
    case ENOBUFS:
    case ENOMEM: return ipstatus::NoResources;
    default: return ipstatus::GeneralFailure;
    }
}

int32_t statusOf(const EchoResult& result) {
    switch (result.outcome) {
    case Outcome::Reply: return ipstatus::Success;
    case Outcome::TimedOut: return ipstatus::ReqTimedOut;
    case Outcome::IcmpError: return icmpErrorStatus(result.icmpType, result.icmpCode);
    case Outcome::SocketError: return socketErrorStatus(result.errorNumber);
    case Outcome::Unavailable: return ipstatus::BadAddress;  // as when no ICMP handle can be had
    case Outcome::IpStatus: return result.ipStatus;
    }
    return ipstatus::GeneralFailure;
}

}  // namespace

int32_t PingAddress(const std::string& address, const std::string& payload, EchoReply& reply) {
    try {
        const uint32_t target = InetAddr(address);
        if (target == kInaddrNone) return ipstatus::BadAddress;
        // The reply must come within the time-out by our own monotonic
        // clock, whatever the transport says.
        const auto start = std::chrono::steady_clock::now();
        const EchoResult result = platform::echoTransport().echo(target, payload, kEchoTimeout);
        const auto elapsed = std::chrono::steady_clock::now() - start;
        reply.Status = statusOf(result);
        if (reply.Status == ipstatus::Success && elapsed > kEchoTimeout) reply.Status = ipstatus::ReqTimedOut;
        if (reply.Status == ipstatus::Success) reply.RoundTripTime = static_cast<uint32_t>(result.roundTrip.count());
        return reply.Status;
    } catch (...) {
        return ipstatus::BadAddress;
    }
}

bool PingHost(const std::string& address) {
    // The sockets need no start-up or clean-up of their own here; the echo
    // opens and closes its socket itself.
    EchoReply reply{};
    const int32_t status = PingAddress(trimSpaces(address), std::string(kEchoPayload), reply);
    return EchoStatusText(status).find("success") != std::string::npos;
}

}  // namespace dovrel

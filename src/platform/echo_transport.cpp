#include "platform/echo_transport.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <linux/errqueue.h>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace dovrel::platform {
namespace icmp {
namespace {

constexpr std::size_t kHeaderSize = 8;

uint16_t read16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

uint32_t read32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

// The length of the IPv4 header at `p`, 0 when it is not one.
std::size_t ipHeaderLength(const uint8_t* p, std::size_t size) {
    if (size < 20 || (p[0] >> 4) != 4) return 0;
    const std::size_t length = std::size_t{p[0] & 0x0Fu} * 4;
    return length >= 20 && length <= size ? length : 0;
}

bool isErrorType(uint8_t type) {
    return type == kDestinationUnreachable || type == kSourceQuench || type == kTimeExceeded ||
           type == kParameterProblem;
}

// An ICMP error message quotes the IP header and the first 8 bytes of the
// datagram it is about: ours when they name our destination, an echo
// request and our identifier and sequence.
bool quotesOurRequest(const uint8_t* quoted, std::size_t size, const RequestKey& key) {
    const std::size_t ip = ipHeaderLength(quoted, size);
    if (ip == 0 || size < ip + kHeaderSize) return false;
    if (quoted[9] != IPPROTO_ICMP || read32(quoted + 16) != key.address) return false;
    const uint8_t* echo = quoted + ip;
    return echo[0] == kEchoRequest && read16(echo + 6) == key.sequence &&
           (!key.checkIdentifier || read16(echo + 4) == key.identifier);
}

}  // namespace

uint16_t checksum(const uint8_t* data, std::size_t size) {
    uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < size; i += 2) sum += read16(data + i);
    if (size % 2 != 0) sum += uint32_t{data[size - 1]} << 8;
    while (sum >> 16) sum = (sum & 0xFFFFu) + (sum >> 16);
    return static_cast<uint16_t>(~sum);
}

std::vector<uint8_t> echoRequest(uint16_t identifier, uint16_t sequence, std::string_view payload) {
    std::vector<uint8_t> packet(kHeaderSize + payload.size(), 0);
    packet[0] = kEchoRequest;
    packet[4] = static_cast<uint8_t>(identifier >> 8);
    packet[5] = static_cast<uint8_t>(identifier);
    packet[6] = static_cast<uint8_t>(sequence >> 8);
    packet[7] = static_cast<uint8_t>(sequence);
    std::memcpy(packet.data() + kHeaderSize, payload.data(), payload.size());
    const uint16_t sum = checksum(packet.data(), packet.size());
    packet[2] = static_cast<uint8_t>(sum >> 8);
    packet[3] = static_cast<uint8_t>(sum);
    return packet;
}

std::optional<EchoResult> matchReceived(const uint8_t* packet, std::size_t size, uint32_t from,
                                        const RequestKey& key) {
    if (key.withIpHeader) {
        const std::size_t ip = ipHeaderLength(packet, size);
        if (ip == 0 || packet[9] != IPPROTO_ICMP) return std::nullopt;
        packet += ip;
        size -= ip;
    }
    if (size < kHeaderSize) return std::nullopt;
    const uint8_t type = packet[0];
    if (type == kEchoReply) {
        const bool ours = from == key.address && read16(packet + 6) == key.sequence &&
                          (!key.checkIdentifier || read16(packet + 4) == key.identifier) &&
                          std::string_view(reinterpret_cast<const char*>(packet + kHeaderSize),
                                           size - kHeaderSize) == key.payload;
        if (!ours) return std::nullopt;
        EchoResult result;
        result.outcome = EchoResult::Outcome::Reply;
        return result;
    }
    if (isErrorType(type) && quotesOurRequest(packet + kHeaderSize, size - kHeaderSize, key)) {
        EchoResult result;
        result.outcome = EchoResult::Outcome::IcmpError;
        result.icmpType = type;
        result.icmpCode = packet[1];
        return result;
    }
    return std::nullopt;
}

}  // namespace icmp

namespace {

using Clock = std::chrono::steady_clock;
using Outcome = EchoResult::Outcome;

class SocketHandle {
public:
    explicit SocketHandle(int fd) : fd_(fd) {}
    ~SocketHandle() {
        if (fd_ >= 0) ::close(fd_);
    }
    SocketHandle(const SocketHandle&) = delete;
    SocketHandle& operator=(const SocketHandle&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// A datagram ICMP socket where the system grants them to this user's group
// (net.ipv4.ping_group_range), else a raw one (needs CAP_NET_RAW); -1 when
// neither may be opened.
int openIcmpSocket(SocketEchoTransport::SocketKind kind, bool& datagram) {
    using Kind = SocketEchoTransport::SocketKind;
    if (kind != Kind::RawOnly) {
        const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
        if (fd >= 0) {
            datagram = true;
            return fd;
        }
    }
    if (kind != Kind::DatagramOnly) {
        const int fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
        if (fd >= 0) {
            datagram = false;
            return fd;
        }
    }
    return -1;
}

EchoResult socketError(int number) {
    EchoResult result;
    result.outcome = Outcome::SocketError;
    result.errorNumber = number;
    return result;
}

// Datagram sockets report ICMP errors about our request on the error queue.
std::optional<EchoResult> readErrorQueue(int fd, const icmp::RequestKey& key) {
    uint8_t data[576];
    alignas(cmsghdr) char control[512];
    iovec iov{data, sizeof data};
    msghdr msg{};
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    const ssize_t n = ::recvmsg(fd, &msg, MSG_ERRQUEUE | MSG_DONTWAIT);
    if (n < 0) return std::nullopt;
    // The queued datagram is the request we sent: check it is this probe's.
    if (static_cast<std::size_t>(n) < 8 || (data[6] << 8 | data[7]) != key.sequence) return std::nullopt;
    for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c != nullptr; c = CMSG_NXTHDR(&msg, c)) {
        if (c->cmsg_level != SOL_IP || c->cmsg_type != IP_RECVERR) continue;
        sock_extended_err err;
        std::memcpy(&err, CMSG_DATA(c), sizeof err);
        if (err.ee_origin == SO_EE_ORIGIN_ICMP) {
            EchoResult result;
            result.outcome = Outcome::IcmpError;
            result.icmpType = err.ee_type;
            result.icmpCode = err.ee_code;
            return result;
        }
        return socketError(static_cast<int>(err.ee_errno));
    }
    return std::nullopt;
}

// Reading the pending error resets it, so poll stops reporting it.
void clearPendingError(int fd) {
    int error = 0;
    socklen_t size = sizeof error;
    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size);
}

uint16_t nextSequence() {
    static uint16_t sequence = static_cast<uint16_t>(std::random_device{}());
    return ++sequence;
}

uint16_t processIdentifier() {
    static const uint16_t identifier = static_cast<uint16_t>(std::random_device{}());
    return identifier;
}

}  // namespace

bool SocketEchoTransport::available() {
    bool datagram = false;
    const SocketHandle socket(openIcmpSocket(kind_, datagram));
    return socket.get() >= 0;
}

EchoResult SocketEchoTransport::echo(uint32_t address, std::string_view payload,
                                     std::chrono::milliseconds timeout) {
    bool datagram = false;
    const SocketHandle socket(openIcmpSocket(kind_, datagram));
    const int fd = socket.get();
    if (fd < 0) {
        EchoResult result;
        result.outcome = Outcome::Unavailable;
        return result;
    }
    if (datagram) {
        const int on = 1;
        ::setsockopt(fd, SOL_IP, IP_RECVERR, &on, sizeof on);
    }
    const icmp::RequestKey key{address, processIdentifier(), nextSequence(), payload, !datagram, !datagram};
    const std::vector<uint8_t> request = icmp::echoRequest(key.identifier, key.sequence, payload);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(address);

    // The time-out runs on the monotonic clock from the send, and stray
    // packets do not restart it.
    const auto start = Clock::now();
    const auto deadline = start + timeout;
    if (::sendto(fd, request.data(), request.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to) < 0) {
        return socketError(errno);
    }
    uint8_t buffer[2048];
    for (;;) {
        const auto now = Clock::now();
        if (now >= deadline) break;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno != EINTR) return socketError(errno);
        if (ready <= 0) continue;
        std::optional<EchoResult> match;
        if (p.revents & POLLERR) {
            match = readErrorQueue(fd, key);
            if (!match) clearPendingError(fd);
        } else if (p.revents & POLLIN) {
            sockaddr_in from{};
            socklen_t fromSize = sizeof from;
            const ssize_t n = ::recvfrom(fd, buffer, sizeof buffer, MSG_DONTWAIT,
                                         reinterpret_cast<sockaddr*>(&from), &fromSize);
            if (n > 0) {
                match = icmp::matchReceived(buffer, static_cast<std::size_t>(n), ntohl(from.sin_addr.s_addr), key);
            }
        }
        if (match) {
            match->roundTrip = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
            return *match;
        }
    }
    EchoResult result;
    result.outcome = Outcome::TimedOut;
    return result;
}

EchoResult ScriptedEchoTransport::echo(uint32_t address, std::string_view payload,
                                       std::chrono::milliseconds timeout) {
    requests.push_back(Request{address, std::string(payload), timeout});
    Step step = script.empty() ? scriptedReply() : script.front();
    if (script.size() > 1) script.pop_front();
    std::this_thread::sleep_for(step.delay);
    return step.result;
}

ScriptedEchoTransport::Step scriptedReply(std::chrono::milliseconds delay) {
    ScriptedEchoTransport::Step step;
    step.result.outcome = EchoResult::Outcome::Reply;
    step.result.roundTrip = delay;
    step.delay = delay;
    return step;
}

ScriptedEchoTransport::Step scriptedSilence() {
    ScriptedEchoTransport::Step step;
    step.result.outcome = EchoResult::Outcome::TimedOut;
    return step;
}

ScriptedEchoTransport::Step scriptedIcmpError(uint8_t type, uint8_t code) {
    ScriptedEchoTransport::Step step;
    step.result.outcome = EchoResult::Outcome::IcmpError;
    step.result.icmpType = type;
    step.result.icmpCode = code;
    return step;
}

namespace {
EchoTransport* currentTransport = nullptr;
}

EchoTransport& echoTransport() {
    static SocketEchoTransport sockets;
    return currentTransport ? *currentTransport : sockets;
}

EchoTransport* setEchoTransport(EchoTransport* transport) {
    EchoTransport* previous = currentTransport;
    currentTransport = transport;
    return previous;
}

}  // namespace dovrel::platform

// The echo through the system's ICMP sockets (Linux).
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <linux/errqueue.h>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/echo_transport.h"

namespace dovrel::platform {
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

EchoResult SocketEchoTransport::echo(uint32_t address, std::string_view payload, std::chrono::milliseconds timeout) {
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
            const ssize_t n =
                ::recvfrom(fd, buffer, sizeof buffer, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from), &fromSize);
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

EchoTransport& systemEchoTransport() {
    static SocketEchoTransport sockets;
    return sockets;
}

}  // namespace dovrel::platform

#include "platform/echo_transport.h"

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "net/echo_status.h"
#include "net/ping.h"
#include "support/test_doubles.h"

namespace dovrel::platform {
namespace {

using namespace std::chrono_literals;
using Outcome = EchoResult::Outcome;

constexpr uint32_t kLoopback = 0x7F000001;

TEST(IcmpChecksum, FollowsTheInternetChecksum) {
    const uint8_t example[] = {0x00, 0x01, 0xF2, 0x03, 0xF4, 0xF5, 0xF6, 0xF7};
    EXPECT_EQ(icmp::checksum(example, sizeof example), 0x220D);
    const uint8_t odd[] = {0x01};
    EXPECT_EQ(icmp::checksum(odd, sizeof odd), 0xFEFF);
    const uint8_t carries[] = {0xFF, 0xFF, 0x00, 0x02};
    EXPECT_EQ(icmp::checksum(carries, sizeof carries), 0xFFFD);
}

TEST(IcmpEchoRequest, CarriesIdentifierSequenceAndPayload) {
    const auto packet = icmp::echoRequest(0x1234, 0xABCD, "vindar");
    ASSERT_EQ(packet.size(), 14u);
    EXPECT_EQ(packet[0], icmp::kEchoRequest);
    EXPECT_EQ(packet[1], 0);
    EXPECT_EQ(packet[4], 0x12);
    EXPECT_EQ(packet[5], 0x34);
    EXPECT_EQ(packet[6], 0xAB);
    EXPECT_EQ(packet[7], 0xCD);
    EXPECT_EQ(std::string(packet.begin() + 8, packet.end()), "vindar");
    // A packet with its checksum in place sums to zero.
    EXPECT_EQ(icmp::checksum(packet.data(), packet.size()), 0);
}

// What a raw socket delivers: an IPv4 header from `from`, then `icmp`.
std::vector<uint8_t> withIpHeader(uint32_t from, uint32_t to, const std::vector<uint8_t>& icmp) {
    std::vector<uint8_t> packet(20, 0);
    packet[0] = 0x45;
    packet[9] = 1;  // ICMP
    for (std::size_t i = 0; i < 4; ++i) {
        packet[12 + i] = static_cast<uint8_t>(from >> (24 - 8 * i));
        packet[16 + i] = static_cast<uint8_t>(to >> (24 - 8 * i));
    }
    packet.insert(packet.end(), icmp.begin(), icmp.end());
    return packet;
}

std::vector<uint8_t> echoReply(uint16_t identifier, uint16_t sequence, std::string_view payload) {
    auto packet = icmp::echoRequest(identifier, sequence, payload);
    packet[0] = icmp::kEchoReply;
    return packet;
}

// An ICMP error message from `router` quoting the start of `request`.
std::vector<uint8_t> icmpError(uint8_t type, uint8_t code, uint32_t router, uint32_t requestTo,
                               const std::vector<uint8_t>& request) {
    std::vector<uint8_t> message{type, code, 0, 0, 0, 0, 0, 0};
    const auto quoted = withIpHeader(0x0A000001, requestTo, std::vector<uint8_t>(request.begin(), request.begin() + 8));
    message.insert(message.end(), quoted.begin(), quoted.end());
    return withIpHeader(router, 0x0A000001, message);
}

class MatchReceivedTest : public ::testing::Test {
protected:
    std::optional<EchoResult> match(const std::vector<uint8_t>& packet, uint32_t from) {
        return icmp::matchReceived(packet.data(), packet.size(), from, key);
    }
    icmp::RequestKey key{0x0A010203, 0x1111, 7, "vindar", true, true};
};

TEST_F(MatchReceivedTest, TakesTheReplyToOurRequest) {
    const auto reply = withIpHeader(0x0A010203, 0x0A000001, echoReply(0x1111, 7, "vindar"));
    const auto result = match(reply, 0x0A010203);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->outcome, Outcome::Reply);
}

TEST_F(MatchReceivedTest, IgnoresStrayPackets) {
    const uint32_t host = 0x0A010203;
    EXPECT_FALSE(match(withIpHeader(host, 1, echoReply(0x1111, 8, "vindar")), host));  // other sequence
    EXPECT_FALSE(match(withIpHeader(host, 1, echoReply(0x2222, 7, "vindar")), host));  // other program
    EXPECT_FALSE(match(withIpHeader(host, 1, echoReply(0x1111, 7, "vindaR")), host));  // other payload
    EXPECT_FALSE(match(withIpHeader(host, 1, echoReply(0x1111, 7, "vindar!")), host));
    EXPECT_FALSE(match(withIpHeader(0x0A010204, 1, echoReply(0x1111, 7, "vindar")), 0x0A010204));  // other host
    // Our own request, as loopback shows it to a raw socket.
    EXPECT_FALSE(match(withIpHeader(host, host, icmp::echoRequest(0x1111, 7, "vindar")), host));
    const auto reply = withIpHeader(host, 1, echoReply(0x1111, 7, "vindar"));
    EXPECT_FALSE(match(std::vector<uint8_t>(reply.begin(), reply.begin() + 24), host));  // truncated
    EXPECT_FALSE(match(std::vector<uint8_t>(reply.begin(), reply.begin() + 19), host));
    EXPECT_FALSE(match({}, host));
}

TEST_F(MatchReceivedTest, DatagramSocketsMatchOnSequenceAndPayload) {
    // The kernel hands over the ICMP message alone, with its own identifier.
    key.withIpHeader = false;
    key.checkIdentifier = false;
    const auto result = match(echoReply(0x9999, 7, "vindar"), 0x0A010203);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->outcome, Outcome::Reply);
    EXPECT_FALSE(match(echoReply(0x9999, 6, "vindar"), 0x0A010203));
    EXPECT_FALSE(match(echoReply(0x9999, 7, "other!"), 0x0A010203));
}

TEST_F(MatchReceivedTest, TakesErrorMessagesAboutOurRequestOnly) {
    const auto ours = icmp::echoRequest(0x1111, 7, "vindar");
    const auto result = match(icmpError(3, 1, 0x0A0000FE, 0x0A010203, ours), 0x0A0000FE);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->outcome, Outcome::IcmpError);
    EXPECT_EQ(result->icmpType, 3);
    EXPECT_EQ(result->icmpCode, 1);
    const auto exceeded = match(icmpError(11, 0, 0x0A0000FE, 0x0A010203, ours), 0x0A0000FE);
    ASSERT_TRUE(exceeded.has_value());
    EXPECT_EQ(exceeded->icmpType, 11);

    EXPECT_FALSE(match(icmpError(3, 1, 0x0A0000FE, 0x0A010209, ours), 0x0A0000FE));  // about another host
    EXPECT_FALSE(match(icmpError(3, 1, 0x0A0000FE, 0x0A010203, icmp::echoRequest(0x1111, 8, "vindar")),
                       0x0A0000FE));  // another request
    EXPECT_FALSE(match(icmpError(3, 1, 0x0A0000FE, 0x0A010203, icmp::echoRequest(0x2222, 7, "vindar")),
                       0x0A0000FE));                                                 // another program's
    EXPECT_FALSE(match(icmpError(5, 1, 0x0A0000FE, 0x0A010203, ours), 0x0A0000FE));  // a redirect
}

TEST(ScriptedEchoTransport, PlaysItsScriptAndRepeatsTheLastStep) {
    ScriptedEchoTransport transport;
    EXPECT_EQ(transport.echo(1, "a", 500ms).outcome, Outcome::Reply);  // no script: an answer
    transport.script = {scriptedSilence(), scriptedIcmpError(3, 3)};
    EXPECT_EQ(transport.echo(2, "b", 500ms).outcome, Outcome::TimedOut);
    EXPECT_EQ(transport.echo(3, "c", 500ms).icmpCode, 3);
    EXPECT_EQ(transport.echo(4, "d", 500ms).icmpCode, 3);
    ASSERT_EQ(transport.requests.size(), 4u);
    EXPECT_EQ(transport.requests[3].address, 4u);
    EXPECT_EQ(transport.requests[3].payload, "d");
}

// Runs `body` on a thread of its own inside a network namespace made for
// it, with only a loopback interface; false when the system refuses.
bool inOwnNetworkNamespace(const std::function<void()>& body) {
    bool made = false;
    std::thread thread([&] {
        if (::unshare(CLONE_NEWNET) != 0) return;
        made = true;
        body();
    });
    thread.join();
    return made;
}

bool bringLoopbackUp() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool up = ::ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags |= IFF_UP;
    up = up && ::ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    ::close(fd);
    return up;
}

// Lets every group open datagram ICMP sockets, in this namespace only.
bool allowDatagramEchoes() {
    std::ofstream range("/proc/sys/net/ipv4/ping_group_range");
    range << "0 2147483647\n";
    range.close();
    return static_cast<bool>(range);
}

TEST(EchoInOwnNamespace, ReportsTheMissingRouteWithoutWaiting) {
    std::optional<EchoResult> result;
    const bool made = inOwnNetworkNamespace([&] {
        // The loopback interface is still down: no route at all.
        SocketEchoTransport sockets;
        if (sockets.available()) result = sockets.echo(kLoopback, "vindar", 500ms);
    });
    if (!made || !result) GTEST_SKIP() << "no network namespace or ICMP socket allowed here";
    EXPECT_EQ(result->outcome, Outcome::SocketError);
    EXPECT_EQ(result->errorNumber, ENETUNREACH);
}

TEST(EchoInOwnNamespace, BothSocketKindsGetTheLoopbackReply) {
    std::optional<EchoResult> datagram;
    std::optional<EchoResult> raw;
    const bool made = inOwnNetworkNamespace([&] {
        if (!bringLoopbackUp() || !allowDatagramEchoes()) return;
        SocketEchoTransport datagramSockets(SocketEchoTransport::SocketKind::DatagramOnly);
        SocketEchoTransport rawSockets(SocketEchoTransport::SocketKind::RawOnly);
        if (datagramSockets.available()) datagram = datagramSockets.echo(kLoopback, "vindar", 500ms);
        if (rawSockets.available()) raw = rawSockets.echo(kLoopback, "vindar", 500ms);
    });
    if (!made || !datagram) GTEST_SKIP() << "no network namespace of our own allowed here";
    EXPECT_EQ(datagram->outcome, Outcome::Reply);
    if (raw) {
        EXPECT_EQ(raw->outcome, Outcome::Reply);
    }
}

TEST(EchoInOwnNamespace, WaitsOutTheTimeOutForAHostThatNeverAnswers) {
    // Inside the namespace 192.0.2.0/24 is routed into loopback, where no
    // host takes it: the request vanishes.
    std::optional<EchoResult> result;
    std::chrono::steady_clock::duration waited{};
    int32_t status = 0;
    bool pingAnswered = true;
    const bool made = inOwnNetworkNamespace([&] {
        if (!bringLoopbackUp() || !allowDatagramEchoes()) return;
        if (std::system("ip route add 192.0.2.0/24 dev lo >/dev/null 2>&1") != 0) return;
        SocketEchoTransport sockets;
        const auto start = std::chrono::steady_clock::now();
        result = sockets.echo(0xC0000207, "vindar", 500ms);
        waited = std::chrono::steady_clock::now() - start;
        ScopedOverride<EchoTransport> scoped(sockets);
        EchoReply reply{};
        status = PingAddress("192.0.2.7", "vindar", reply);
        pingAnswered = PingHost("192.0.2.7");
    });
    if (!made || !result) GTEST_SKIP() << "no network namespace with routes of our own allowed here";
    EXPECT_EQ(result->outcome, Outcome::TimedOut);
    EXPECT_GE(waited, 500ms);
    EXPECT_EQ(status, ipstatus::ReqTimedOut);
    EXPECT_FALSE(pingAnswered);
}

}  // namespace
}  // namespace dovrel::platform

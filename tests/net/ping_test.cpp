#include "net/ping.h"

#include <cerrno>
#include <gtest/gtest.h>

#include "net/echo_status.h"
#include "platform/echo_transport.h"
#include "support/test_doubles.h"

namespace dovrel {
namespace {

using namespace std::chrono_literals;
using platform::EchoResult;
using platform::ScriptedEchoTransport;

class ScriptedPingTest : public ::testing::Test {
protected:
    int32_t pingWith(ScriptedEchoTransport::Step step, const std::string& address = "10.1.2.3") {
        transport.script = {step};
        EchoReply reply{};
        const int32_t status = PingAddress(address, "vindar", reply);
        EXPECT_EQ(reply.Status, status);
        return status;
    }

    static ScriptedEchoTransport::Step socketError(int number) {
        ScriptedEchoTransport::Step step;
        step.result.outcome = EchoResult::Outcome::SocketError;
        step.result.errorNumber = number;
        return step;
    }

    ScriptedEchoTransport transport;
    platform::ScopedOverride<platform::EchoTransport> scoped{transport};
};

TEST_F(ScriptedPingTest, SendsOneRequestWithThePayloadAndTheTimeOut) {
    EXPECT_TRUE(PingHost("  10.1.2.3  "));
    ASSERT_EQ(transport.requests.size(), 1u);
    EXPECT_EQ(transport.requests[0].address, 0x0A010203u);
    EXPECT_EQ(transport.requests[0].payload, std::string("vindar"));
    EXPECT_EQ(transport.requests[0].timeout, 500ms);
}

TEST_F(ScriptedPingTest, SendsNothingForAnAddressThatIsNotDotted) {
    EXPECT_FALSE(PingHost("db.example.com"));
    EXPECT_FALSE(PingHost("255.255.255.255"));
    EXPECT_FALSE(PingHost(""));
    EchoReply reply{};
    EXPECT_EQ(PingAddress("255.255.255.255", "vindar", reply), -1);
    EXPECT_EQ(PingAddress("server1", "vindar", reply), -1);
    // Spaces are the ping's to remove, not the address conversion's.
    EXPECT_EQ(PingAddress(" 10.1.2.3", "vindar", reply), -1);
    EXPECT_TRUE(transport.requests.empty());
}

TEST_F(ScriptedPingTest, CountsOnlyAReplyWithinTheTimeOut) {
    EXPECT_EQ(pingWith(platform::scriptedReply(20ms)), 0);
    EXPECT_EQ(pingWith(platform::scriptedSilence()), ipstatus::ReqTimedOut);
    // A transport that hands over a reply after the time-out has not met it.
    EXPECT_EQ(pingWith(platform::scriptedReply(700ms)), ipstatus::ReqTimedOut);
    transport.script = {platform::scriptedReply(700ms)};
    EXPECT_FALSE(PingHost("10.1.2.3"));
    transport.script = {platform::scriptedReply(5ms)};
    EXPECT_TRUE(PingHost("10.1.2.3"));
}

TEST_F(ScriptedPingTest, TurnsIcmpErrorsIntoIpStatusCodes) {
    using platform::scriptedIcmpError;
    EXPECT_EQ(pingWith(scriptedIcmpError(3, 0)), ipstatus::DestNetUnreachable);
    EXPECT_EQ(pingWith(scriptedIcmpError(3, 1)), ipstatus::DestHostUnreachable);
    EXPECT_EQ(pingWith(scriptedIcmpError(3, 2)), ipstatus::DestProtUnreachable);
    EXPECT_EQ(pingWith(scriptedIcmpError(3, 3)), ipstatus::DestPortUnreachable);
    EXPECT_EQ(pingWith(scriptedIcmpError(3, 4)), ipstatus::PacketTooBig);
    EXPECT_EQ(pingWith(scriptedIcmpError(3, 5)), ipstatus::BadRoute);
    EXPECT_EQ(pingWith(scriptedIcmpError(3, 11)), ipstatus::DestNetUnreachable);
    EXPECT_EQ(pingWith(scriptedIcmpError(3, 13)), ipstatus::DestHostUnreachable);
    EXPECT_EQ(pingWith(scriptedIcmpError(4, 0)), ipstatus::SourceQuench);
    EXPECT_EQ(pingWith(scriptedIcmpError(11, 0)), ipstatus::TtlExpiredTransit);
    EXPECT_EQ(pingWith(scriptedIcmpError(11, 1)), ipstatus::TtlExpiredReassem);
    EXPECT_EQ(pingWith(scriptedIcmpError(12, 0)), ipstatus::ParamProblem);
    transport.script = {scriptedIcmpError(3, 1)};
    EXPECT_FALSE(PingHost("10.1.2.3"));
}

TEST_F(ScriptedPingTest, TurnsSocketFailuresIntoIpStatusCodes) {
    EXPECT_EQ(pingWith(socketError(ENETUNREACH)), ipstatus::DestNetUnreachable);
    EXPECT_EQ(pingWith(socketError(EHOSTUNREACH)), ipstatus::DestHostUnreachable);
    EXPECT_EQ(pingWith(socketError(EMSGSIZE)), ipstatus::PacketTooBig);
    EXPECT_EQ(pingWith(socketError(ENOBUFS)), ipstatus::NoResources);
    EXPECT_EQ(pingWith(socketError(EPERM)), ipstatus::GeneralFailure);
    transport.script = {socketError(ENETUNREACH)};
    EXPECT_FALSE(PingHost("10.1.2.3"));
}

TEST_F(ScriptedPingTest, FailsWhenNoEchoCanBeSent) {
    ScriptedEchoTransport::Step unavailable;
    unavailable.result.outcome = EchoResult::Outcome::Unavailable;
    EXPECT_EQ(pingWith(unavailable), -1);
    transport.script = {unavailable};
    EXPECT_FALSE(PingHost("10.1.2.3"));
}

#ifndef _WIN32  // Windows: tests/platform/win
// The real sockets, on loopback only.
TEST(PingLoopback, TheLocalHostAnswers) {
    for (auto kind :
         {platform::SocketEchoTransport::SocketKind::Any, platform::SocketEchoTransport::SocketKind::DatagramOnly,
          platform::SocketEchoTransport::SocketKind::RawOnly}) {
        platform::SocketEchoTransport sockets(kind);
        if (!sockets.available()) continue;  // the system does not grant this kind
        platform::ScopedOverride<platform::EchoTransport> scoped(sockets);
        EchoReply reply{};
        EXPECT_EQ(PingAddress("127.0.0.1", "vindar", reply), 0) << static_cast<int>(kind);
        EXPECT_TRUE(PingHost(" 127.0.0.1 ")) << static_cast<int>(kind);
    }
    if (!platform::SocketEchoTransport().available()) GTEST_SKIP() << "no ICMP socket may be opened here";
}
#endif

}  // namespace
}  // namespace dovrel

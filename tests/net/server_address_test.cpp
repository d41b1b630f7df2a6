#include "net/server_address.h"

#include <gtest/gtest.h>

#include "platform/echo_transport.h"
#include "platform/messages.h"
#include "platform/runtime_error.h"
#include "support/test_doubles.h"

namespace dovrel {
namespace {

TEST(ProbeAddressFor, ProbesDottedAddressesWithoutTheirInstance) {
    EXPECT_EQ(probeAddressFor("."), "127.0.0.1");
    EXPECT_EQ(probeAddressFor("10.1.2.3"), "10.1.2.3");
    EXPECT_EQ(probeAddressFor("10.1.2.3\\INST"), "10.1.2.3");
    // Spaces stay; the ping ignores them.
    EXPECT_EQ(probeAddressFor(" 10.1.2.3 \\INST"), " 10.1.2.3 ");
}

TEST(ProbeAddressFor, LeavesComputerNamesToTheConnection) {
    EXPECT_EQ(probeAddressFor("SERVER1"), "");
    EXPECT_EQ(probeAddressFor("SERVER1\\INST"), "");
    EXPECT_EQ(probeAddressFor(""), "");
    // The only backslash is the first character: nothing stands before it.
    EXPECT_EQ(probeAddressFor("\\10.1.2.3"), "");
}

TEST(ProbeAddressFor, DropsThePortBeforeDeriving) {
    EXPECT_EQ(probeAddressFor("10.1.2.3,1433"), "10.1.2.3");
    EXPECT_EQ(probeAddressFor("10.1.2.3\\INST,1433"), "10.1.2.3");
    EXPECT_EQ(probeAddressFor(".,1433"), "127.0.0.1");
    EXPECT_EQ(probeAddressFor("SERVER1,1433"), "");
    // A dot in the port alone does not make a dotted name.
    EXPECT_EQ(probeAddressFor("SERVER1,14.33"), "");
}

TEST(ProbeAddressFor, LeavesDottedNamesThatAreNoAddressToTheConnection) {
    EXPECT_EQ(probeAddressFor("db.example.com"), "");
    EXPECT_EQ(probeAddressFor("db.example.com\\INST,1433"), "");
    // "." is the local server only when it stands alone.
    EXPECT_EQ(probeAddressFor(".\\SQLEXPRESS"), "");
    // A dot in the instance name alone.
    EXPECT_EQ(probeAddressFor("SERVER1\\INST.2"), "");
    // Cut at the last backslash, what is left is no address.
    EXPECT_EQ(probeAddressFor("10.1.2.3\\A\\B"), "");
    EXPECT_EQ(probeAddressFor("255.255.255.256"), "");
}

TEST(ProbeAddressFor, HoldsTheInstancePositionInSixteenBits) {
    const std::string longInstance(40000, 'I');
    EXPECT_EQ(probeAddressFor("10.1.2.3\\" + longInstance), "10.1.2.3");
    // 32767 is the last position that fits.
    EXPECT_EQ(probeAddressFor("10.1.2.3" + std::string(32766 - 8, 'x') + "\\I"), "");
    EXPECT_THROW(probeAddressFor("10.1.2.3" + std::string(32767 - 8, 'x') + "\\I"), RuntimeError);
    // It is the last backslash that counts.
    EXPECT_THROW(probeAddressFor("10.1.2.3\\" + longInstance + "\\I"), RuntimeError);
}

class ResolveServerAddressTest : public ::testing::Test {
protected:
    platform::ScriptedEchoTransport transport;
    platform::ScopedOverride<platform::EchoTransport> scopedTransport{transport};
    RecordingMessageSink messages;
    platform::ScopedOverride<MessageSink> scopedMessages{messages};
};

TEST_F(ResolveServerAddressTest, RemovesNulCharactersFromTheCallersName) {
    std::string name("10.1.2.3\0\0", 10);
    EXPECT_EQ(ResolveServerAddress(name), "10.1.2.3");
    EXPECT_EQ(name, "10.1.2.3");

    std::string inside(
        "10.1.\0"
        "2.3\\IN\0ST",
        15);
    EXPECT_EQ(ResolveServerAddress(inside), "10.1.2.3");
    EXPECT_EQ(inside, "10.1.2.3\\INST");

    // Only NULs go: the port and the instance stay for the connection.
    std::string withPort("127.0.0.1\\INST,1433");
    EXPECT_EQ(ResolveServerAddress(withPort), "127.0.0.1");
    EXPECT_EQ(withPort, "127.0.0.1\\INST,1433");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(transport.requests.empty());
}

TEST_F(ResolveServerAddressTest, SkipsTheProbeWhereNoEchoMayBeSent) {
    transport.isAvailable = false;
    std::string address("10.1.2.3");
    std::string local(".");
    EXPECT_EQ(ResolveServerAddress(address), "");
    EXPECT_EQ(ResolveServerAddress(local), "");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ResolveServerAddressTest, ReportsAnOverflowAndGivesNoAddress) {
    std::string name("10.1.2.3\\" + std::string(40000, 'I') + "\\I");
    EXPECT_EQ(ResolveServerAddress(name), "");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "System Error!(6)Overflow");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(messages.shown[0].title, "Dovrel");
}

}  // namespace
}  // namespace dovrel

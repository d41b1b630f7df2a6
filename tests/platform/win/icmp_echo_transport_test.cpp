// The echo through Windows' ICMP library: the call the probe makes, what
// the library's answers become, and a real echo to the loopback address.
#include "platform/win/icmp_echo_transport.h"

#include <gtest/gtest.h>

#include <string>

#include "net/ping.h"

namespace dovrel::platform::win {
namespace {

// What the replaced library saw and is to answer.
struct Library {
    int opened = 0;
    int closed = 0;
    bool canOpen = true;
    IPAddr address = 0;
    std::string request;
    bool options = false;
    DWORD replySize = 0;
    DWORD timeout = 0;
    DWORD replies = 1;    // IcmpSendEcho's result
    ULONG status = 0;     // the reply record's status
    DWORD lastError = 0;  // the error when there is no reply
};
Library library;

HANDLE WINAPI fakeCreateFile() {
    if (!library.canOpen) return INVALID_HANDLE_VALUE;
    ++library.opened;
    return reinterpret_cast<HANDLE>(0x1234);
}

BOOL WINAPI fakeCloseHandle(HANDLE) {
    ++library.closed;
    return TRUE;
}

DWORD WINAPI fakeSendEcho(HANDLE, IPAddr address, LPVOID request, WORD requestSize, PIP_OPTION_INFORMATION options,
                          LPVOID reply, DWORD replySize, DWORD timeout) {
    library.address = address;
    library.request.assign(static_cast<const char*>(request), requestSize);
    library.options = options != nullptr;
    library.replySize = replySize;
    library.timeout = timeout;
    static_cast<ICMP_ECHO_REPLY*>(reply)->Status = library.status;
    SetLastError(library.lastError);
    return library.replies;
}

class IcmpLibraryTest : public ::testing::Test {
protected:
    void SetUp() override { library = Library{}; }

    int32_t ping(DWORD replies, ULONG status, DWORD lastError) {
        library.replies = replies;
        library.status = status;
        library.lastError = lastError;
        EchoReply reply{};
        return PingAddress("10.1.2.3", std::string(kEchoPayload), reply);
    }

    IcmpEchoTransport transport{IcmpCalls{fakeCreateFile, fakeSendEcho, fakeCloseHandle}};
    ScopedOverride<EchoTransport> scoped{transport};
};

TEST_F(IcmpLibraryTest, OneEchoWithThePayloadAReplyBufferOf278BytesAnd500Milliseconds) {
    EXPECT_TRUE(PingHost(" 10.1.2.3 "));
    EXPECT_EQ(library.address, htonl(0x0A010203));
    EXPECT_EQ(library.request, "vindar");
    EXPECT_FALSE(library.options);
    EXPECT_EQ(library.replySize, 278u);
    EXPECT_EQ(library.timeout, 500u);
    EXPECT_EQ(library.opened, 1);
    EXPECT_EQ(library.closed, 1);
}

TEST_F(IcmpLibraryTest, TheLibrarysStatusIsTheProbesStatus) {
    EXPECT_EQ(ping(1, IP_SUCCESS, 0), 0);
    EXPECT_EQ(ping(1, IP_DEST_HOST_UNREACHABLE, 0), 11003);
    EXPECT_EQ(ping(1, IP_TTL_EXPIRED_TRANSIT, 0), 11013);
    EXPECT_EQ(ping(0, 0, IP_REQ_TIMED_OUT), 11010);
    EXPECT_EQ(ping(0, 0, IP_BUF_TOO_SMALL), 11001);
    EXPECT_EQ(ping(0, 0, ERROR_NOT_ENOUGH_MEMORY), 11050) << "a system error is a general failure";
    EXPECT_FALSE(PingHost("10.1.2.3"));
    EXPECT_EQ(library.opened, library.closed);
}

TEST_F(IcmpLibraryTest, WithoutAHandleNothingIsSent) {
    library.canOpen = false;
    EXPECT_FALSE(transport.available());
    EXPECT_EQ(ping(1, IP_SUCCESS, 0), -1);
    EXPECT_TRUE(library.request.empty());
    EXPECT_EQ(library.closed, 0);
}

TEST(IcmpLoopback, TheLocalHostAnswers) {
    IcmpEchoTransport system;
    ASSERT_TRUE(system.available());
    const EchoResult result = system.echo(0x7F000001, kEchoPayload, kEchoTimeout);
    EXPECT_EQ(result.outcome, EchoResult::Outcome::Reply) << "status " << result.ipStatus;
    EchoReply reply{};
    EXPECT_EQ(PingAddress("127.0.0.1", "vindar", reply), 0) << "through the transport in use";
    EXPECT_TRUE(PingHost(" 127.0.0.1 "));
}

}  // namespace
}  // namespace dovrel::platform::win

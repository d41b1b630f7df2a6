#pragma once
// The echo through the system's ICMP library, as Windows programs send it:
// one IcmpSendEcho with a reply buffer of 278 bytes (the reply record and
// room for the echoed data). The library's own status codes are kept.
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <icmpapi.h>

#include "platform/echo_transport.h"

namespace dovrel::platform::win {

inline constexpr DWORD kEchoReplySize = 278;

// The library's functions, which tests replace to see the calls and to
// answer with any status.
struct IcmpCalls {
    decltype(&IcmpCreateFile) createFile = IcmpCreateFile;
    decltype(&IcmpSendEcho) sendEcho = IcmpSendEcho;
    decltype(&IcmpCloseHandle) closeHandle = IcmpCloseHandle;
};

class IcmpEchoTransport : public EchoTransport {
public:
    explicit IcmpEchoTransport(IcmpCalls calls = {}) : calls_(calls) {}
    bool available() override;
    EchoResult echo(uint32_t address, std::string_view payload, std::chrono::milliseconds timeout) override;

private:
    IcmpCalls calls_;
};

}  // namespace dovrel::platform::win

#include "platform/win/icmp_echo_transport.h"

#include <array>
#include <string>

namespace dovrel::platform::win {
namespace {

using Outcome = EchoResult::Outcome;

static_assert(kEchoReplySize >= sizeof(ICMP_ECHO_REPLY) + 8 + 6, "room for the reply record and the echoed payload");

class IcmpHandle {
public:
    explicit IcmpHandle(const IcmpCalls& calls) : calls_(calls), handle_(calls.createFile()) {}
    ~IcmpHandle() {
        if (valid()) calls_.closeHandle(handle_);
    }
    IcmpHandle(const IcmpHandle&) = delete;
    IcmpHandle& operator=(const IcmpHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE get() const { return handle_; }

private:
    const IcmpCalls& calls_;
    HANDLE handle_;
};

bool isIpStatus(DWORD code) { return code >= IP_STATUS_BASE && code <= IP_STATUS_BASE + 255; }

EchoResult withStatus(DWORD status) {
    EchoResult result;
    if (status == IP_SUCCESS) {
        result.outcome = Outcome::Reply;
    } else if (status == IP_REQ_TIMED_OUT) {
        result.outcome = Outcome::TimedOut;
    } else {
        result.outcome = Outcome::IpStatus;
        result.ipStatus = static_cast<int32_t>(status);
    }
    return result;
}

}  // namespace

bool IcmpEchoTransport::available() { return IcmpHandle(calls_).valid(); }

EchoResult IcmpEchoTransport::echo(uint32_t address, std::string_view payload, std::chrono::milliseconds timeout) {
    IcmpHandle handle(calls_);
    if (!handle.valid()) {
        EchoResult result;
        result.outcome = Outcome::Unavailable;
        return result;
    }
    if (payload.size() > 0xFFFF) return withStatus(IP_PACKET_TOO_BIG);
    alignas(ICMP_ECHO_REPLY) std::array<unsigned char, kEchoReplySize> reply{};
    std::string request(payload);  // the call takes the request data as writable memory
    const DWORD replies =
        calls_.sendEcho(handle.get(), htonl(address), request.data(), static_cast<WORD>(request.size()), nullptr,
                        reply.data(), kEchoReplySize, static_cast<DWORD>(timeout.count()));
    if (replies == 0) {
        // No reply: the last error is the IP status, or a system error.
        const DWORD error = GetLastError();
        return withStatus(isIpStatus(error) ? error : IP_GENERAL_FAILURE);
    }
    const auto* record = reinterpret_cast<const ICMP_ECHO_REPLY*>(reply.data());
    EchoResult result = withStatus(record->Status);
    if (result.outcome == Outcome::Reply) result.roundTrip = std::chrono::milliseconds(record->RoundTripTime);
    return result;
}

}  // namespace dovrel::platform::win

namespace dovrel::platform {

EchoTransport& systemEchoTransport() {
    static win::IcmpEchoTransport library;
    return library;
}

}  // namespace dovrel::platform

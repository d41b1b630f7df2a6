#include "platform/echo_transport.h"

#include <cstring>
#include <thread>

namespace dovrel::platform {
namespace icmp {
namespace {

constexpr std::size_t kHeaderSize = 8;
constexpr uint8_t kProtocolIcmp = 1;  // the IPv4 header's protocol number of ICMP

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
    if (quoted[9] != kProtocolIcmp || read32(quoted + 16) != key.address) return false;
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

std::optional<EchoResult> matchReceived(const uint8_t* packet, std::size_t size, uint32_t from, const RequestKey& key) {
    if (key.withIpHeader) {
        const std::size_t ip = ipHeaderLength(packet, size);
        if (ip == 0 || packet[9] != kProtocolIcmp) return std::nullopt;
        packet += ip;
        size -= ip;
    }
    if (size < kHeaderSize) return std::nullopt;
    const uint8_t type = packet[0];
    if (type == kEchoReply) {
        const bool ours =
            from == key.address && read16(packet + 6) == key.sequence &&
            (!key.checkIdentifier || read16(packet + 4) == key.identifier) &&
            std::string_view(reinterpret_cast<const char*>(packet + kHeaderSize), size - kHeaderSize) == key.payload;
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


template <>
Seam<EchoTransport>& seam<EchoTransport>() {
    static Seam<EchoTransport> seam(systemEchoTransport);
    return seam;
}

EchoTransport& echoTransport() { return seam<EchoTransport>().get(); }

}  // namespace dovrel::platform

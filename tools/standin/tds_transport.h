#pragma once
// The protocol's packet layer on one client socket: a message is one or more
// packets of at most the negotiated packet size, the last one marked
// end-of-message.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace standin {

namespace packet_type {
inline constexpr uint8_t SqlBatch = 0x01;
inline constexpr uint8_t Rpc = 0x03;
inline constexpr uint8_t Reply = 0x04;
inline constexpr uint8_t Attention = 0x06;
inline constexpr uint8_t BulkLoad = 0x07;
inline constexpr uint8_t TransactionManager = 0x0E;
inline constexpr uint8_t Login7 = 0x10;
inline constexpr uint8_t PreLogin = 0x12;
}  // namespace packet_type

struct TdsMessage {
    uint8_t type = 0;
    std::string payload;
    // The client ended the message with the ignore bit: it cancelled it
    // before sending all of it, and it must not run.
    bool ignored = false;
};

class TdsTransport {
public:
    explicit TdsTransport(int fd) : fd_(fd) {}
    // Reads one whole message. False when the client closed the connection
    // (or the deadline passed); throws ProtocolError on a malformed or
    // oversized message. An attention that arrives inside a message ends it:
    // the message is dropped and the attention returned.
    bool read(TdsMessage& out);
    // Reads give up at this time (none: they wait as long as it takes).
    void setDeadline(std::optional<std::chrono::steady_clock::time_point> deadline) { deadline_ = deadline; }
    // Sends a message in packets of the current packet size. False when the
    // client has gone.
    bool write(uint8_t type, std::string_view payload);
    void setPacketSize(uint32_t size);
    uint32_t packetSize() const { return packetSize_; }
    void setSessionId(uint16_t spid) { spid_ = spid; }

private:
    bool readExact(char* buf, size_t n);
    int fd_;
    std::optional<std::chrono::steady_clock::time_point> deadline_;
    uint32_t packetSize_ = 4096;
    uint16_t spid_ = 0;
    uint8_t packetId_ = 1;
};

}  // namespace standin

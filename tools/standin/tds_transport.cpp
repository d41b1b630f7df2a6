#include "tds_transport.h"

#include "byte_buffer.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace standin {
namespace {

constexpr size_t HeaderSize = 8;
constexpr uint8_t EndOfMessage = 0x01;
constexpr uint8_t IgnoreMessage = 0x02;
// A request larger than this is refused rather than buffered.
constexpr size_t MaxMessageSize = 256u * 1024 * 1024;

}  // namespace

bool TdsTransport::readExact(char* buf, size_t n) {
    size_t got = 0;
    while (got < n) {
        if (deadline_) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(*deadline_ - std::chrono::steady_clock::now());
            if (left.count() <= 0) return false;
            pollfd p{fd_, POLLIN, 0};
            const int r = ::poll(&p, 1, static_cast<int>(std::min<int64_t>(left.count(), 60000)));
            if (r < 0 && errno != EINTR) return false;
            if (r <= 0) continue;
        }
        ssize_t r = ::recv(fd_, buf + got, n - got, 0);
        if (r == 0) return false;
        if (r < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        got += static_cast<size_t>(r);
    }
    return true;
}

bool TdsTransport::read(TdsMessage& out) {
    out.payload.clear();
    out.ignored = false;
    for (bool first = true;; first = false) {
        char header[HeaderSize];
        if (!readExact(header, HeaderSize)) {
            if (first) return false;
            throw ProtocolError("connection closed inside a message");
        }
        ByteReader h(std::string_view(header, HeaderSize));
        const uint8_t type = h.u8();
        const uint8_t status = h.u8();
        const uint16_t length = h.u16be();
        if (length < HeaderSize) throw ProtocolError("packet shorter than its header");
        if (!first && type == packet_type::Attention && out.type != packet_type::Attention) {
            // A cancel in the middle of a request: what came of the request never runs.
            out.type = packet_type::Attention;
            out.payload.clear();
            const size_t body = length - HeaderSize;
            std::string skip(body, '\0');
            if (body > 0 && !readExact(skip.data(), body)) throw ProtocolError("connection closed inside a packet");
            return true;
        }
        if (first) out.type = type;
        const size_t body = length - HeaderSize;
        if (out.payload.size() + body > MaxMessageSize) throw ProtocolError("message too large");
        const size_t at = out.payload.size();
        out.payload.resize(at + body);
        if (body > 0 && !readExact(out.payload.data() + at, body)) {
            throw ProtocolError("connection closed inside a packet");
        }
        // An attention signal may arrive on its own; it never continues a message.
        if ((status & EndOfMessage) != 0 || type == packet_type::Attention) {
            out.ignored = (status & IgnoreMessage) != 0;
            return true;
        }
    }
}

bool TdsTransport::write(uint8_t type, std::string_view payload) {
    const size_t chunk = packetSize_ - HeaderSize;
    size_t offset = 0;
    std::string packet;
    do {
        const size_t n = std::min(chunk, payload.size() - offset);
        const bool last = offset + n == payload.size();
        ByteWriter w;
        w.u8(type);
        w.u8(last ? EndOfMessage : 0);
        w.u16be(static_cast<uint16_t>(n + HeaderSize));
        w.u16be(spid_);
        w.u8(packetId_++);
        w.u8(0);
        w.bytes(payload.substr(offset, n));
        packet = w.take();
        size_t sent = 0;
        while (sent < packet.size()) {
            ssize_t r = ::send(fd_, packet.data() + sent, packet.size() - sent, MSG_NOSIGNAL);
            if (r < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            sent += static_cast<size_t>(r);
        }
        offset += n;
    } while (offset < payload.size());
    return true;
}

void TdsTransport::setPacketSize(uint32_t size) {
    // The protocol allows 512 to 32767 bytes.
    if (size < 512) size = 512;
    if (size > 32767) size = 32767;
    packetSize_ = size;
}

}  // namespace standin

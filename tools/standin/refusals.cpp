#include "refusals.h"

#include "byte_buffer.h"
#include "login.h"
#include "sql_error.h"
#include "tds_tokens.h"
#include "tds_transport.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace standin {
namespace {

// Connections being refused at once; more are closed without an answer.
constexpr size_t MaxPending = 64;
constexpr size_t HeaderSize = 8;

void sendAll(int fd, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n <= 0) return;  // a client that does not read gets what fitted
        sent += static_cast<size_t>(n);
    }
}

std::string packet(uint8_t type, const std::string& payload) {
    ByteWriter w;
    w.u8(type);
    w.u8(0x01);
    w.u16be(static_cast<uint16_t>(payload.size() + HeaderSize));
    w.u16be(0);
    w.u8(1);
    w.u8(0);
    w.bytes(payload);
    return w.take();
}

}  // namespace

Refusals::Refusals(int maxConnections, std::chrono::milliseconds timeout)
    : maxConnections_(maxConnections), timeout_(timeout) {
    if (pipe2(wakeFds_, O_CLOEXEC | O_NONBLOCK) != 0) wakeFds_[0] = wakeFds_[1] = -1;
    thread_ = std::thread([this] { loop(); });
}

Refusals::~Refusals() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    const char b = 1;
    [[maybe_unused]] const ssize_t n = write(wakeFds_[1], &b, 1);
    thread_.join();
    for (int fd : incoming_) close(fd);
    for (int fd : wakeFds_) {
        if (fd >= 0) close(fd);
    }
}

void Refusals::add(int fd) {
    {
        std::lock_guard lock(mutex_);
        if (!stopping_) {
            incoming_.push_back(fd);
            fd = -1;
        }
    }
    if (fd >= 0) close(fd);
    const char b = 1;
    [[maybe_unused]] const ssize_t n = write(wakeFds_[1], &b, 1);
}

bool Refusals::serve(Pending& p) {
    char buf[4096];
    const ssize_t n = recv(p.fd, buf, sizeof buf, MSG_DONTWAIT);
    if (n <= 0) return n < 0 && (errno == EAGAIN || errno == EINTR);
    p.received.append(buf, static_cast<size_t>(n));
    // Whole packets only; PRELOGIN and LOGIN7 fit in one each.
    while (p.received.size() >= HeaderSize) {
        ByteReader h(std::string_view(p.received).substr(0, HeaderSize));
        const uint8_t type = h.u8();
        h.u8();
        const uint16_t length = h.u16be();
        if (length < HeaderSize || p.received.size() > 65536) return false;
        if (p.received.size() < length) return true;
        const std::string payload = p.received.substr(HeaderSize, length - HeaderSize);
        p.received.erase(0, length);
        try {
            if (type == packet_type::PreLogin) {
                sendAll(p.fd, packet(packet_type::Reply, preloginReply(payload)));
                continue;
            }
            if (type != packet_type::Login7) return false;
            TokenWriter w(negotiatedTdsVersion(parseLogin7(payload).tdsVersion), "DOVREL-STANDIN");
            w.message(sqlError(17809,
                               "Could not connect because the maximum number of '" + std::to_string(maxConnections_) +
                                   "' user connections has already been reached. The system administrator can "
                                   "use sp_configure to increase the maximum value. The connection has been "
                                   "closed.",
                               20, 1));
            w.done(done_token::Done, done_status::Error, command::None, 0);
            sendAll(p.fd, packet(packet_type::Reply, w.take()));
        } catch (const ProtocolError&) {
            // Refused either way.
        }
        return false;
    }
    return true;
}

void Refusals::loop() {
    std::vector<Pending> pending;
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stopping_) break;
            for (int fd : incoming_) {
                if (pending.size() < MaxPending) {
                    pending.push_back({fd, std::chrono::steady_clock::now() + timeout_, {}});
                } else {
                    close(fd);
                }
            }
            incoming_.clear();
        }
        std::vector<pollfd> fds{{wakeFds_[0], POLLIN, 0}};
        for (const auto& p : pending) fds.push_back({p.fd, POLLIN, 0});
        poll(fds.data(), fds.size(), 100);
        if (fds[0].revents != 0) {
            char drain[64];
            while (read(wakeFds_[0], drain, sizeof drain) > 0) {}
        }
        const auto now = std::chrono::steady_clock::now();
        std::vector<Pending> kept;
        for (size_t k = 0; k < pending.size(); ++k) {
            Pending& p = pending[k];
            const bool ready = fds[k + 1].revents != 0;
            if ((ready && !serve(p)) || now >= p.deadline) {
                shutdown(p.fd, SHUT_RDWR);
                close(p.fd);
            } else {
                kept.push_back(std::move(p));
            }
        }
        pending.swap(kept);
    }
    for (const auto& p : pending) close(p.fd);
}

}  // namespace standin

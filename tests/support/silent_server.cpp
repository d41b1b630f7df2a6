#include "support/silent_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace dovrel::test {

SilentServer::SilentServer() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 16) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        ::pipe(wake_) != 0)
        throw std::runtime_error("cannot listen on loopback");
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { run(); });
}

SilentServer::~SilentServer() {
    [[maybe_unused]] const ssize_t n = ::write(wake_[1], "x", 1);
    thread_.join();
    dropConnections();
    for (int fd : {listener_, wake_[0], wake_[1]}) ::close(fd);
}

void SilentServer::run() {
    for (;;) {
        pollfd fds[2] = {{listener_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) continue;
        if (fds[1].revents) return;
        const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) continue;
        const std::lock_guard guard(lock_);
        connections_.push_back(connection);
        ++accepted_;
    }
}

void SilentServer::dropConnections() {
    const std::lock_guard guard(lock_);
    for (int fd : connections_) ::close(fd);
    connections_.clear();
}

}  // namespace dovrel::test

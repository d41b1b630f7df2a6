#include "server.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace standin {
namespace {

constexpr const char* ServerName = "DOVREL-STANDIN";

}  // namespace

Server::Server(DatabaseDirectory& directory, LoginTable logins, ServerLimits limits)
    : directory_(directory),
      logins_(std::move(logins)),
      limits_(limits),
      refusals_(limits.maxConnections, std::min(limits.loginTimeout, std::chrono::milliseconds(2000))) {
    if (pipe2(wakeFds_, O_CLOEXEC) != 0) wakeFds_[0] = wakeFds_[1] = -1;
}

Server::~Server() {
    closeAll();
    if (listenFd_ >= 0) close(listenFd_);
    for (int fd : wakeFds_) {
        if (fd >= 0) close(fd);
    }
}

bool Server::listen(int port, std::string& error) {
    listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) {
        error = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    int yes = 1;
    setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        error = "bind 127.0.0.1:" + std::to_string(port) + ": " + std::strerror(errno);
        return false;
    }
    if (::listen(listenFd_, 64) != 0) {
        error = std::string("listen: ") + std::strerror(errno);
        return false;
    }
    socklen_t len = sizeof addr;
    getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    return true;
}

void Server::run() {
    for (;;) {
        pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakeFds_[0], POLLIN, 0}};
        const int r = poll(fds, 2, 1000);
        if (r < 0 && errno != EINTR) break;
        if (fds[1].revents != 0) break;
        reapFinished();
        if (r <= 0 || (fds[0].revents & POLLIN) == 0) continue;
        const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        int yes = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        bool full = false;
        {
            std::lock_guard lock(clientsMutex_);
            full = static_cast<int>(clients_.size()) >= limits_.maxConnections;
        }
        if (full) {
            refusals_.add(fd);
            continue;
        }
        auto client = std::make_unique<Client>();
        Client* c = client.get();
        c->fd = fd;
        const uint16_t spid = nextSpid_++;
        if (nextSpid_ > 32000) nextSpid_ = 51;
        {
            std::lock_guard lock(clientsMutex_);
            clients_.push_back(std::move(client));
        }
        c->thread = std::thread([this, c, fd, spid] {
            Session(fd, directory_, logins_, spid, ServerName).run(limits_.loginTimeout);
            shutdown(fd, SHUT_RDWR);
            c->done = true;
        });
    }
    closeAll();
}

void Server::stop() {
    if (wakeFds_[1] >= 0) {
        const char b = 1;
        [[maybe_unused]] ssize_t n = write(wakeFds_[1], &b, 1);
    }
}

void Server::reapFinished() {
    std::lock_guard lock(clientsMutex_);
    for (auto it = clients_.begin(); it != clients_.end();) {
        if ((*it)->done) {
            (*it)->thread.join();
            close((*it)->fd);
            it = clients_.erase(it);
        } else {
            ++it;
        }
    }
}

void Server::closeAll() {
    std::list<std::unique_ptr<Client>> clients;
    {
        std::lock_guard lock(clientsMutex_);
        clients.swap(clients_);
    }
    // Waking every session's read ends it; its SQLite connection closes and
    // rolls back whatever it had not committed.
    for (auto& c : clients) shutdown(c->fd, SHUT_RDWR);
    for (auto& c : clients) {
        if (c->thread.joinable()) c->thread.join();
        close(c->fd);
    }
}

}  // namespace standin

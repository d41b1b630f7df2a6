#pragma once
// A server on a free loopback port that accepts connections and never
// answers them: a database server that hangs.
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace dovrel::test {

class SilentServer {
public:
    SilentServer();  // listening when constructed
    ~SilentServer();
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    int port() const { return port_; }
    // "127.0.0.1,PORT", the form a connection string's server takes.
    std::string serverName() const { return "127.0.0.1," + std::to_string(port_); }
    // Connections accepted so far.
    int accepted() const { return accepted_; }
    // Closes every connection accepted so far: a client waiting for an
    // answer learns at once that none will come.
    void dropConnections();

private:
    void run();

    int listener_ = -1;
    int wake_[2] = {-1, -1};
    int port_ = 0;
    std::atomic<int> accepted_{0};
    std::mutex lock_;
    std::vector<int> connections_;
    std::thread thread_;
};

}  // namespace dovrel::test

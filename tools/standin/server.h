#pragma once
// The listening socket on 127.0.0.1 and one thread per client session. A
// client that does not log in within the login time-out is dropped, and
// beyond the connection limit new clients are refused with SQL Server's
// error 17809 (refusals.h).
#include "database_directory.h"
#include "refusals.h"
#include "session.h"

#include <atomic>
#include <chrono>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace standin {

struct ServerLimits {
    std::chrono::milliseconds loginTimeout{15000};
    int maxConnections = 256;
};

class Server {
public:
    Server(DatabaseDirectory& directory, LoginTable logins, ServerLimits limits = {});
    ~Server();

    // Binds 127.0.0.1:port (0 picks a free port). False with a reason on failure.
    bool listen(int port, std::string& error);
    int port() const { return port_; }
    // Accepts clients until stop() is called.
    void run();
    // Safe from any thread: ends run() and every open session.
    void stop();

private:
    struct Client {
        std::thread thread;
        int fd = -1;
        std::atomic<bool> done{false};
    };
    void reapFinished();
    void closeAll();

    DatabaseDirectory& directory_;
    LoginTable logins_;
    ServerLimits limits_;
    int listenFd_ = -1;
    int wakeFds_[2] = {-1, -1};
    int port_ = 0;
    uint16_t nextSpid_ = 51;
    std::mutex clientsMutex_;
    std::list<std::unique_ptr<Client>> clients_;
    Refusals refusals_;
};

}  // namespace standin

#pragma once
// The listening socket on 127.0.0.1 and one thread per client session.
#include "database_directory.h"
#include "session.h"

#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace standin {

class Server {
public:
    Server(DatabaseDirectory& directory, LoginTable logins);
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
    int listenFd_ = -1;
    int wakeFds_[2] = {-1, -1};
    int port_ = 0;
    uint16_t nextSpid_ = 51;
    std::mutex clientsMutex_;
    std::list<std::unique_ptr<Client>> clients_;
};

}  // namespace standin

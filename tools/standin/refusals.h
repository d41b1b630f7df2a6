#pragma once
// Clients beyond the connection limit get SQL Server's refusal (17809) in
// answer to their login; one thread serves all of them at once with poll,
// each for at most a short while, so that refused clients cost no thread
// of their own and cannot queue behind a silent one.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace standin {

class Refusals {
public:
    Refusals(int maxConnections, std::chrono::milliseconds timeout);
    ~Refusals();
    Refusals(const Refusals&) = delete;
    Refusals& operator=(const Refusals&) = delete;

    // Takes the connection over (and closes it in the end).
    void add(int fd);

private:
    struct Pending {
        int fd = -1;
        std::chrono::steady_clock::time_point deadline;
        std::string received;
    };
    void loop();
    // Reads what arrived; false once the connection is done with.
    bool serve(Pending& p);

    const int maxConnections_;
    const std::chrono::milliseconds timeout_;
    int wakeFds_[2] = {-1, -1};
    std::mutex mutex_;
    std::vector<int> incoming_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace standin

#pragma once
// A program started for a test and ended with the object (SIGTERM, then
// SIGKILL when it does not go).
#include <sys/types.h>

#include <string>
#include <vector>

namespace dovrel::test {

struct SpawnOptions {
    std::vector<std::string> environment;  // "NAME=VALUE" added to this process's
    int passedFd = -1;                     // given to the program as its descriptor 3
    std::string logFile;                   // stdout and stderr; /dev/null when empty
    bool ignoreSigusr1 = false;            // an X server then signals its parent when ready
};

class SpawnedProcess {
public:
    // Starts argv[0], searched in PATH.
    explicit SpawnedProcess(std::vector<std::string> argv, SpawnOptions options = {});
    ~SpawnedProcess();
    SpawnedProcess(const SpawnedProcess&) = delete;
    SpawnedProcess& operator=(const SpawnedProcess&) = delete;

    bool started() const { return pid_ > 0; }
    // True while the program runs.
    bool running();
    void stop();

private:
    pid_t pid_ = -1;
};

}  // namespace dovrel::test

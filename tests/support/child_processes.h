#pragma once
// Test bodies run in forked children, for tests of several processes at once.
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <vector>

namespace dovrel::test {

// Runs body(0) to body(count - 1) in `count` children at once and waits for
// them all; true when every child exited with status 0.
inline bool runInChildren(int count, const std::function<int(int)>& body) {
    std::vector<pid_t> children;
    for (int i = 0; i < count; ++i) {
        const pid_t pid = fork();
        if (pid == 0) _exit(body(i));
        children.push_back(pid);
    }
    bool allSucceeded = true;
    for (const pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        allSucceeded = allSucceeded && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    return allSucceeded;
}

}  // namespace dovrel::test

// time_to_window REPEATS CMD [ARGS...] [-- CMD [ARGS...]]...
// Start-up time of window programs that print a line once their window is
// shown (dovrel-window-probe --report-shown, qt_empty_window): the time
// from launching the process to reading that first line. The commands run
// in turn, REPEATS rounds, so that they share the machine's conditions.
// Prints one line per command: "median_ms best_ms".
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kTimeoutMs = 60000;

// Milliseconds from launch to the first line on the command's stdout;
// negative when it ended or timed out first. The command is then waited for.
double timeToFirstLine(const std::vector<char*>& command) {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    pid_t pid = -1;
    const auto start = Clock::now();
    const int spawned = posix_spawnp(&pid, command[0], &actions, nullptr, command.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    double ms = -1;
    if (spawned == 0) {
        std::string got;
        char buffer[512];
        pollfd wait{out[0], POLLIN, 0};
        while (got.find('\n') == std::string::npos && poll(&wait, 1, kTimeoutMs) > 0) {
            const ssize_t n = read(out[0], buffer, sizeof buffer);
            if (n <= 0) break;
            got.append(buffer, static_cast<std::size_t>(n));
        }
        if (got.find('\n') != std::string::npos)
            ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        else
            kill(pid, SIGKILL);
        while (read(out[0], buffer, sizeof buffer) > 0) {}
        int status = 0;
        waitpid(pid, &status, 0);
    }
    close(out[0]);
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    const int repeats = argc > 2 ? std::atoi(argv[1]) : 0;
    std::vector<std::vector<char*>> commands(1);
    for (int i = 2; i < argc; ++i) {
        if (std::string(argv[i]) == "--")
            commands.emplace_back();
        else
            commands.back().push_back(argv[i]);
    }
    if (repeats < 1 || std::any_of(commands.begin(), commands.end(), [](auto& c) { return c.empty(); })) {
        std::fprintf(stderr, "usage: time_to_window REPEATS CMD [ARGS...] [-- CMD [ARGS...]]...\n");
        return 2;
    }
    for (auto& command : commands) command.push_back(nullptr);
    std::vector<std::vector<double>> times(commands.size());
    for (int round = 0; round < repeats; ++round) {
        for (std::size_t c = 0; c < commands.size(); ++c) {
            const double ms = timeToFirstLine(commands[c]);
            if (ms < 0) {
                std::fprintf(stderr, "time_to_window: %s printed no line\n", commands[c][0]);
                return 1;
            }
            times[c].push_back(ms);
        }
    }
    for (auto& t : times) {
        std::sort(t.begin(), t.end());
        std::printf("%.1f %.1f\n", t[t.size() / 2], t.front());
    }
    return 0;
}

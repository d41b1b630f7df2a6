#include "tsql_client.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <thread>
#include <vector>

namespace dovrel::test {
namespace {

std::vector<std::string> tsqlArgs(const StandinServer& server, const std::string& database, const std::string& user,
                                  const std::string& password) {
    // stdbuf: tsql writes to a pipe here, and its rows must show before it exits.
    return {"stdbuf", "-o0",    "tsql", "-H",     server.host(), "-p", std::to_string(server.port()), "-U", user,
            "-P",     password, "-D",   database, "-o",          "q"};
}

// Starts tsql with pipes on stdin and on stdout+stderr together.
pid_t spawn(std::vector<std::string> args, int& in, int& out) {
    int toChild[2], fromChild[2];
    if (pipe2(toChild, O_CLOEXEC) != 0) return -1;
    if (pipe2(fromChild, O_CLOEXEC) != 0) {
        close(toChild[0]);
        close(toChild[1]);
        return -1;
    }
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> env = StandinServer::freeTdsClientEnvironment();
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        dup2(toChild[0], STDIN_FILENO);
        dup2(fromChild[1], STDOUT_FILENO);
        dup2(fromChild[1], STDERR_FILENO);
        execvpe(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(toChild[0]);
    close(fromChild[1]);
    in = toChild[1];
    out = fromChild[0];
    return pid;
}

bool writeAll(int fd, const std::string& s) {
    size_t done = 0;
    while (done < s.size()) {
        const ssize_t n = write(fd, s.data() + done, s.size() - done);
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Reads what is available within `ms`; false at end of output.
bool readSome(int fd, std::string& into, int ms) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, ms) <= 0) return true;
    char buf[4096];
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n <= 0) return false;
    into.append(buf, static_cast<size_t>(n));
    return true;
}

}  // namespace

SqlRun runTsql(const StandinServer& server, const std::string& sql, const std::string& database,
               const std::string& user, const std::string& password) {
    SqlRun run;
    int in = -1, out = -1;
    const pid_t pid = spawn(tsqlArgs(server, database, user, password), in, out);
    if (pid < 0) return run;
    // tsql reads its input only after logging in; the pipe holds a batch of any size we send here.
    std::thread writer([in, text = sql + "\ngo\nexit\n"] {
        writeAll(in, text);
        close(in);
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline && readSome(out, run.output, 200)) {}
    writer.join();
    close(out);
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.errors = run.output;
    return run;
}

OpenTsql::OpenTsql(const StandinServer& server, const std::string& database) {
    pid_ = spawn(tsqlArgs(server, database, "sa", "Secret#1"), in_, out_);
}

OpenTsql::~OpenTsql() {
    if (in_ >= 0) close(in_);
    if (out_ >= 0) close(out_);
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

bool OpenTsql::send(const std::string& batch, const std::string& marker) { return post(batch) && waitFor(marker); }

bool OpenTsql::post(const std::string& batch) { return pid_ >= 0 && writeAll(in_, batch + "\ngo\n"); }

bool OpenTsql::waitFor(const std::string& marker) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (output_.find(marker) == std::string::npos) {
        if (std::chrono::steady_clock::now() >= deadline || !readSome(out_, output_, 200)) return false;
    }
    return true;
}

}  // namespace dovrel::test

#include "support/standin_server.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <string_view>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#ifndef DOVREL_STANDIN_PATH
#error "DOVREL_STANDIN_PATH must name the dovrel-standin executable"
#endif

namespace dovrel::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Waits up to `limit` for the child to end; its wait status, or -1 on time-out.
int waitFor(pid_t pid, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    for (;;) {
        int status = 0;
        pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) return status;
        if (r < 0 && errno != EINTR) return 0;
        if (Clock::now() >= deadline) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Builds a NULL-terminated argv over `args` (which must outlive it).
std::vector<char*> argvOf(std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    return argv;
}

}  // namespace

StandinServer::StandinServer(std::string dataDir, std::vector<std::string> logins)
    : dataDir_(std::move(dataDir)), logins_(std::move(logins)) {
    if (dataDir_.empty()) {
        ownedData_.emplace("dovrel-standin-");
        dataDir_ = ownedData_->path();
    }
}

StandinServer::~StandinServer() { stop(); }

std::string StandinServer::serverName() const { return host() + "," + std::to_string(port_); }

bool StandinServer::start() {
    if (running()) return true;
    lastError_.clear();
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        lastError_ = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    std::vector<std::string> args{DOVREL_STANDIN_PATH, "--port", "0", "--data", dataDir_};
    for (const auto& login : logins_) {
        args.push_back("--login");
        args.push_back(login);
    }
    auto argv = argvOf(args);
    const pid_t parent = getpid();
    pid_t pid = fork();
    if (pid < 0) {
        lastError_ = std::string("fork: ") + std::strerror(errno);
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    if (pid == 0) {
        // A test that dies must not leave its server behind.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) _exit(127);
        dup2(fds[1], STDOUT_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(fds[1]);
    pid_ = pid;

    // The first line says where it listens.
    std::string line;
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (line.find('\n') == std::string::npos) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) break;
        pollfd p{fds[0], POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
        char buf[256];
        ssize_t n = read(fds[0], buf, sizeof buf);
        if (n <= 0) break;
        line.append(buf, static_cast<size_t>(n));
    }
    close(fds[0]);
    const std::string prefix = "listening on 127.0.0.1:";
    if (line.rfind(prefix, 0) != 0 || line.find('\n') == std::string::npos) {
        lastError_ = "dovrel-standin did not report its port (got \"" + line + "\")";
        kill();
        return false;
    }
    port_ = std::atoi(line.c_str() + prefix.size());
    return port_ > 0;
}

void StandinServer::stop() {
    if (!running()) return;
    ::kill(pid_, SIGTERM);
    if (waitFor(pid_, std::chrono::seconds(10)) == -1) {
        ::kill(pid_, SIGKILL);
        waitFor(pid_, std::chrono::seconds(10));
    }
    pid_ = -1;
}

void StandinServer::kill() {
    if (!running()) return;
    ::kill(pid_, SIGKILL);
    waitFor(pid_, std::chrono::seconds(10));
    pid_ = -1;
}

bool StandinServer::restart() {
    stop();
    return start();
}

std::vector<std::string> StandinServer::freeTdsClientEnvironment() {
    std::vector<std::string> env{"TDSVER=7.4", "LANG=C.UTF-8"};
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string_view entry(*e);
        const bool replaced = entry.starts_with("TDSVER=") || entry.starts_with("LANG=") ||
                              entry.starts_with("LC_ALL=") || entry.starts_with("LC_CTYPE=");
        if (!replaced) env.emplace_back(entry);
    }
    return env;
}

SqlRun StandinServer::runSql(const std::string& sql, const std::string& database, const std::string& user,
                             const std::string& password) const {
    SqlRun run;
    const TempFolder folder("dovrel-sql-");
    const std::string& work = folder.path();
    const fs::path in = fs::path(work) / "in.sql";
    const fs::path out = fs::path(work) / "out.txt";
    const fs::path err = fs::path(work) / "err.txt";
    {
        std::ofstream f(in, std::ios::binary);
        f << sql << '\n';
    }
    std::vector<std::string> args{"bsqldb", "-q",        "-t", "\\t",        "-S", host() + ":" + std::to_string(port_),
                                  "-U",     user,        "-P", password,     "-D", database,
                                  "-i",     in.string(), "-o", out.string(), "-e", err.string()};
    auto argv = argvOf(args);
    // The environment is built before fork: the child only execs.
    std::vector<std::string> env = freeTdsClientEnvironment();
    auto envp = argvOf(env);
    pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        int devnull = open("/dev/null", O_RDWR);
        if (devnull >= 0) {
            dup2(devnull, STDIN_FILENO);
        }
        execvpe(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    if (pid > 0) {
        int status = waitFor(pid, std::chrono::seconds(120));
        if (status == -1) {
            ::kill(pid, SIGKILL);
            waitFor(pid, std::chrono::seconds(10));
            run.errors = "bsqldb timed out\n";
        } else if (WIFEXITED(status)) {
            run.exitCode = WEXITSTATUS(status);
        }
        run.output = readFile(out);
        run.errors += readFile(err);
    } else {
        run.errors = std::string("fork: ") + std::strerror(errno);
    }
    return run;
}

}  // namespace dovrel::test

#include "support/spawned_process.h"

#include <fcntl.h>
#include <signal.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

extern char** environ;

namespace dovrel::test {
namespace {

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

SpawnedProcess::SpawnedProcess(std::vector<std::string> argv, SpawnOptions options) {
    // Everything the child needs is made before fork: it only execs.
    std::vector<std::string> environment = std::move(options.environment);
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        bool overridden = false;
        for (std::size_t i = 0; i < environment.size() && !overridden; ++i)
            overridden = environment[i].compare(0, name.size() + 1, name + "=") == 0;
        if (!overridden) environment.push_back(entry);
    }
    auto args = pointersTo(argv);
    auto envp = pointersTo(environment);
    const std::string& log = options.logFile;
    const int output = ::open(log.empty() ? "/dev/null" : log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    pid_ = ::fork();
    if (pid_ == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::setpgid(0, 0);
        if (options.passedFd >= 0) ::dup2(options.passedFd, 3);
        ::signal(SIGUSR1, options.ignoreSigusr1 ? SIG_IGN : SIG_DFL);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::dup2(output, STDOUT_FILENO);
        ::dup2(output, STDERR_FILENO);
        ::execvpe(args[0], args.data(), envp.data());
        ::_exit(127);
    }
    if (output >= 0) ::close(output);
}

SpawnedProcess::~SpawnedProcess() { stop(); }

bool SpawnedProcess::running() {
    if (pid_ <= 0) return false;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return false;
    }
    return true;
}

void SpawnedProcess::stop() {
    if (!running()) return;
    ::kill(-pid_, SIGTERM);
    for (int i = 0; i < 100 && running(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (running()) {
        ::kill(-pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
}

}  // namespace dovrel::test

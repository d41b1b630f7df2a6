// dovrel-standin --port N --data DIR --login NAME:PASSWORD[:LANGUAGE] [--login ...] [limits]
// A SQL Server stand-in for tests and demos: TDS on 127.0.0.1, data in
// SQLite files under DIR. The first line on stdout says where it listens.
#include "database_directory.h"
#include "server.h"
#include "session_language.h"
#include "text_codec.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <pthread.h>
#include <unistd.h>
#include <string>
#include <thread>

namespace {

void usage() {
    std::fprintf(stderr,
                 "usage: dovrel-standin --port N --data DIR --login NAME:PASSWORD[:LANGUAGE] [--login ...]\n"
                 "                      [--login-timeout SECONDS] [--max-connections N] [--trace]\n"
                 "  --port 0 picks a free port; the first line on stdout is 'listening on 127.0.0.1:PORT'.\n"
                 "  LANGUAGE (us_english, british, 简体中文) is the login's default language.\n"
                 "  --login-timeout drops a client that has not logged in by then (default 15).\n"
                 "  --max-connections refuses further clients with error 17809 (default 256).\n"
                 "  --trace echoes every SQL batch and transaction request to stderr.\n");
}

}  // namespace

// A whole number in [low, high], or -1.
long numberArgument(const char* text, long low, long high) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    return *end == '\0' && v >= low && v <= high ? v : -1;
}

int main(int argc, char** argv) {
    int port = -1;
    standin::ServerLimits limits;
    std::string data;
    standin::LoginTable logins;
    for (int k = 1; k < argc; ++k) {
        const std::string arg = argv[k];
        const bool hasValue = k + 1 < argc;
        if (arg == "--port" && hasValue) {
            char* end = nullptr;
            const long v = std::strtol(argv[++k], &end, 10);
            if (*end != '\0' || v < 0 || v > 65535) {
                usage();
                return 2;
            }
            port = static_cast<int>(v);
        } else if (arg == "--login-timeout" && hasValue) {
            const long v = numberArgument(argv[++k], 1, 86400);
            if (v < 0) {
                usage();
                return 2;
            }
            limits.loginTimeout = std::chrono::seconds(v);
        } else if (arg == "--max-connections" && hasValue) {
            const long v = numberArgument(argv[++k], 1, 32767);
            if (v < 0) {
                usage();
                return 2;
            }
            limits.maxConnections = static_cast<int>(v);
        } else if (arg == "--trace") {
            standin::setTraceRequests(true);
        } else if (arg == "--data" && hasValue) {
            data = argv[++k];
        } else if (arg == "--login" && hasValue) {
            const std::string login = argv[++k];
            const auto colon = login.find(':');
            if (colon == std::string::npos || colon == 0) {
                usage();
                return 2;
            }
            std::string password = login.substr(colon + 1);
            std::string language;
            // NAME:PASSWORD:LANGUAGE when the last part names a language.
            const auto last = password.rfind(':');
            if (last != std::string::npos && standin::findLanguage(password.substr(last + 1))) {
                language = password.substr(last + 1);
                password.resize(last);
            }
            logins[standin::toLower(login.substr(0, colon))] = standin::LoginAccount(password, language);
        } else {
            usage();
            return 2;
        }
    }
    if (port < 0 || data.empty() || logins.empty()) {
        usage();
        return 2;
    }

    // SIGTERM and SIGINT are taken by one thread with sigwait; every other
    // thread has them blocked.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    standin::DatabaseDirectory directory(data);
    std::string error;
    if (!directory.prepare(error)) {
        std::fprintf(stderr, "dovrel-standin: %s\n", error.c_str());
        return 1;
    }
    standin::Server server(directory, logins, limits);
    if (!server.listen(port, error)) {
        std::fprintf(stderr, "dovrel-standin: %s\n", error.c_str());
        return 1;
    }
    std::printf("listening on 127.0.0.1:%d\n", server.port());
    std::fflush(stdout);

    std::thread signalWaiter([&] {
        int sig = 0;
        sigwait(&stopSignals, &sig);
        server.stop();
    });
    server.run();
    // Should run() end for another reason, wake the waiter (the signal stays
    // blocked, so it cannot end the process early).
    kill(getpid(), SIGTERM);
    signalWaiter.join();
    return 0;
}

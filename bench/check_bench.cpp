// check_bench REPEATS: the start-up server check's own cost. Loads the
// settings from the store (DOVREL_REGISTRY), then runs CheckServerConnection
// REPEATS times: the ping when the server is a dotted address, the probe on
// the master database and the existence query. Prints "first_ms median_ms":
// the first check, which as at start-up also loads the database driver, and
// the median of the others (the round trips alone). Exits 1 when the server
// or the database was not found.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/run_state.h"
#include "core/check_server.h"
#include "core/load_settings.h"

int main(int argc, char** argv) {
    const int repeats = argc == 2 ? std::atoi(argv[1]) : 0;
    if (repeats < 2) {
        std::fprintf(stderr, "usage: check_bench REPEATS\n");
        return 2;
    }
    dovrel::LoadSettingsAtStart();
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        dovrel::runState().ServerReachable = dovrel::runState().DatabaseExists = false;
        const auto start = std::chrono::steady_clock::now();
        dovrel::CheckServerConnection(false);
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        if (!dovrel::runState().ServerReachable || !dovrel::runState().DatabaseExists) {
            std::fprintf(stderr, "check_bench: the server or its database was not found\n");
            return 1;
        }
    }
    const double first = times.front();
    std::sort(times.begin() + 1, times.end());
    std::printf("%.3f %.3f\n", first, times[1 + (times.size() - 1) / 2]);
    return 0;
}

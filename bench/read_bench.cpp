// read_bench FILE: GetSourceData of FILE in a process that does nothing
// else, so that its peak memory is the read's. Prints one line:
//   first_s again_s data_rows file_bytes peak_kib
// first_s: the first read, timed alone (steady clock), as a host's first
// import meets it: one-time set-up and memory fresh from the system
// included. again_s: a second read in the same process, once that is paid.
// peak_kib: how far the first read raised the process's peak resident size
// (getrusage ru_maxrss after the read, while the grid is held, minus the
// same just before it).
#include <sys/resource.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "exchange/exchange.h"

namespace {

long peakResidentKib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// One read of `file`, timed; the grid's data rows go to `rows`.
double timedRead(const char* file, std::size_t& rows, long* peakRise = nullptr) {
    dovrel::Exchange exchange;
    const long before = peakResidentKib();
    const auto start = std::chrono::steady_clock::now();
    const dovrel::SourceGrid grid = exchange.GetSourceData(file, "Staff");
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (peakRise) *peakRise = peakResidentKib() - before;
    if (grid.empty()) {
        std::fprintf(stderr, "read_bench: %s gave no grid%s%s\n", file, grid.error() ? ": " : "",
                     grid.error() ? grid.error()->Description.c_str() : "");
        rows = 0;
        return -1;
    }
    rows = grid.dataRows();
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: read_bench FILE\n");
        return 2;
    }
    std::size_t rows = 0;
    long peakRise = 0;
    const double first = timedRead(argv[1], rows, &peakRise);
    const double again = timedRead(argv[1], rows);
    if (first < 0 || again < 0) return 1;
    std::printf("%.6f %.6f %zu %ju %ld\n", first, again, rows,
                static_cast<std::uintmax_t>(std::filesystem::file_size(argv[1])), peakRise);
    return 0;
}

// The source-file reader on any bytes (the first byte picks the machine's
// code page, the rest is the file): a grid or one of the reader's error
// numbers, never a crash. A grid holds valid UTF-8 cells without tabs or
// carriage returns, one per column in every row; the column check reads the
// same header; a key filter keeps a subset of the rows in their order;
// strict reading gives the same rows or refuses a file it had to guess or
// repair.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "exchange/detail/refusal.h"
#include "exchange/detail/source_reader.h"
#include "exchange/detail/source_text.h"
#include "exchange/exchange.h"
#include "platform/codepage.h"
#include "platform/messages.h"
#include "support/test_doubles.h"
#include "platform/runtime_error.h"

namespace {

using namespace dovrel;

void require(bool condition) {
    if (!condition) std::abort();
}

// The input as a file that never touches the disk.
class MemoryFile {
public:
    MemoryFile() : fd_(memfd_create("source", 0)), path_("/proc/self/fd/" + std::to_string(fd_)) { require(fd_ >= 0); }
    const std::string& write(const uint8_t* data, size_t size) {
        require(ftruncate(fd_, 0) == 0);
        require(pwrite(fd_, data, size, 0) == static_cast<ssize_t>(size));
        return path_;
    }

private:
    int fd_;
    std::string path_;
};

class CountingEvents : public ExchangeEvents {
public:
    void AfterGetSourceDataARow(int32_t, int32_t) override { ++lines; }
    size_t lines = 0;
};

bool knownError(int number) {
    return number == err::InputPastEnd || number == err::DivisionByZero || number == err::SubscriptOutOfRange ||
           number == err::PathFileAccess || number == err::OutOfMemory;
}

std::string trimBlanks(std::string_view text) {
    const size_t begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos) return {};
    return std::string(text.substr(begin, text.find_last_not_of(' ') - begin + 1));
}

void checkGrid(const SourceGrid& grid, size_t events) {
    require(grid.columns() >= 1 && grid.rows() == grid.dataRows() + 1);
    require(events == grid.dataRows());
    std::vector<std::string_view> cells;
    for (size_t r = 0; r < grid.rows(); ++r) {
        grid.rowCells(r, cells);
        require(cells.size() == grid.columns());
        for (size_t c = 0; c < cells.size(); ++c) {
            require(cells[c] == grid.cell(c, r));
            require(cells[c].find_first_of("\t\r") == std::string_view::npos);
            require(platform::isValidUtf8(cells[c]));
        }
    }
    require(grid.cell(grid.columns(), 0).empty() && grid.cell(0, grid.rows()).empty());
}

// The header as the column check reads it, joined by tabs, when the file
// has no title line (the check's own title test is looser).
void checkHeaderAgrees(const std::string& path, const SourceGrid& grid) {
    const std::vector<std::string> lines = exchange::detail::readLeadingLines(path, 1);
    if (lines.empty() || lines[0].starts_with('[')) return;
    std::string joined;
    for (size_t c = 0; c < grid.columns(); ++c) joined += (c ? "\t" : "") + std::string(grid.cell(c, 0));
    require(trimBlanks(exchange::detail::withoutTrailingTab(lines[0])) == joined);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static RecordingMessageSink sink;
    static platform::ScopedOverride<MessageSink> scoped(sink);
    static MemoryFile file;
    if (size == 0) return 0;
    static const int codePages[] = {936, 950, 1252, 932};
    platform::overrideCodePages(platform::CodePages{codePages[data[0] % 4], codePages[data[0] % 4]});
    const std::string& path = file.write(data + 1, size - 1);

    CountingEvents events;
    Exchange exchange;
    exchange.SetEvents(&events);
    const SourceGrid grid = exchange.GetSourceData(path, "T");
    if (grid.error()) {
        require(grid.empty() && knownError(grid.error()->Number));
        return 0;
    }
    checkGrid(grid, events.lines);
    checkHeaderAgrees(path, grid);

    exchange::detail::SourceReadOptions strict;
    strict.strict = true;
    try {
        require(exchange::detail::readSourceData(path, "T", strict).dataRows() == grid.dataRows());
        require(grid.replacedBytes() == 0);
    } catch (const exchange::detail::Refusal& refusal) {
        require(refusal.outcome() == ImportOutcome::Refused &&
                (grid.replacedBytes() > 0 || grid.encoding() == "UTF-8"));
    }

    // The first column as a numeric key, keeping the keys of the odd rows.
    std::string keys;
    for (size_t r = 1; r < grid.rows(); r += 2) keys += std::string(grid.cell(0, r)) + ",";
    exchange::detail::SourceReadOptions filter;
    filter.keyField = std::string(grid.cell(0, 0));
    filter.keyValue = keys;
    filter.keyKind = [] { return int16_t{3}; };
    try {
        const SourceGrid kept = exchange::detail::readSourceData(path, "T", filter);
        require(kept.columns() == grid.columns() && kept.dataRows() <= grid.dataRows());
        // Every kept row is a row of the whole grid, in the same order.
        size_t next = 1;
        std::vector<std::string_view> a, b;
        for (size_t r = 1; r < kept.rows(); ++r) {
            kept.rowCells(r, a);
            for (;; ++next) {
                require(next < grid.rows());
                grid.rowCells(next, b);
                if (a == b) break;
            }
            ++next;
        }
    } catch (const RuntimeError& e) {
        // A line without a value in the key column, while the filter is on.
        require(e.number() == err::SubscriptOutOfRange && !keys.empty());
    }
    return 0;
}

#pragma once
// SourceGrid: a source file of the table exchange held in memory, as a table
// of texts indexed (column, row). Row 0 holds the column names of the file's
// header line, rows 1 to dataRows() its data lines in file order; column c of
// every row belongs to the name in (c, 0).
//
// The grid keeps the file's decoded text once and finds its cells in it, so a
// grid costs little more than the file itself. Cells are views into that
// text: they stay valid as long as the grid does.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/large_block.h"

namespace dovrel {

namespace exchange::detail {
class SourceGridBuilder;
}

// Why a file could not be read: an error number and its description (53
// file not found, 9 subscript out of range, ...).
struct SourceError {
    int32_t Number = 0;
    std::string Description;
};

class SourceGrid {
public:
    // An empty grid: no columns, no rows.
    SourceGrid() = default;

    // True when the grid has no cells at all (a missing file, an empty table
    // name, or a read that failed).
    bool empty() const { return columns_ == 0; }
    // Number of columns (the header's names).
    std::size_t columns() const { return columns_; }
    // Number of rows, the header row included (0 for an empty grid).
    std::size_t rows() const { return empty() ? 0 : rowStarts_.size() + 1; }
    // Number of data rows.
    std::size_t dataRows() const { return rowStarts_.size(); }

    // The text of cell (column, row). A cell that its line left unset, and
    // any index outside the grid, reads as empty text.
    std::string_view cell(std::size_t column, std::size_t row) const;
    // All cells of one row, `columns()` of them, into `cells` (reused, so
    // walking the rows allocates nothing).
    void rowCells(std::size_t row, std::vector<std::string_view>& cells) const;

    // Set when reading the file failed; the grid is then empty.
    const std::optional<SourceError>& error() const { return error_; }

    // The line of the file that holds `row`, counted from 1 (title and
    // header lines included). Quickest when asked in row order.
    std::size_t lineNumber(std::size_t row) const;
    // Data lines read, the ones the key filter dropped included.
    std::size_t linesRead() const { return linesRead_; }
    // How the file's bytes were read ("UTF-8", "CP936", ...), and how many
    // byte sequences that encoding could not read and became U+FFFD.
    const std::string& encoding() const { return encoding_; }
    std::size_t replacedBytes() const { return replacedBytes_; }

private:
    friend class exchange::detail::SourceGridBuilder;
    std::string_view line(std::size_t row) const;

    std::shared_ptr<const void> storage_;  // owns the decoded file
    std::string_view text_;                // the decoded file (UTF-8)
    std::size_t headerBegin_ = 0, headerEnd_ = 0;
    // Where each accepted data line begins in text_.
    std::vector<std::size_t, exchange::LargeBlockAllocator<std::size_t>> rowStarts_;
    std::size_t columns_ = 0;
    char lineEnd_ = '\r';  // what ends a line: '\r', or '\n' in a file without '\r'
    std::size_t linesRead_ = 0;
    std::size_t replacedBytes_ = 0;
    std::string encoding_;
    std::optional<SourceError> error_;
    // The last answer of lineNumber, where the next one starts counting.
    mutable std::size_t countedTo_ = 0, countedLines_ = 1;
};

}  // namespace dovrel

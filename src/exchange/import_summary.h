#pragma once
// What one import did, for hosts that want more than the result text: the
// kind of outcome, the counts, and the cells the statements would not write
// as they stand.
#include <cstddef>
#include <string>
#include <vector>

namespace dovrel {

enum class ImportOutcome {
    Success,
    Refused,           // the data: columns that differ, cells or bytes that would change, an uncertain
                       // encoding, a key filter that keeps nothing while rows are deleted
    BatchFailed,       // the server refused a batch of rows
    FileUnreadable,    // missing, a folder, hidden, unreadable or empty
    ConnectionFailed,  // the server cannot be reached or refuses the login
    BadArgument,       // a table or column name that is no identifier, an unknown encoding
    Failed,            // anything else
};

// A cell that is not empty but that the statement would write as NULL, '',
// N'' or 0, or not at all.
struct CellNote {
    std::size_t line = 0;   // in the file, counted from 1 (title and header lines included)
    std::string column;     // the header name (at most about 200 characters)
    std::string value;      // the cell (at most about 200 characters)
    std::string writtenAs;  // "Null", "''", "N''", "0", or empty for no value at all
};

struct ImportSummary {
    ImportOutcome outcome = ImportOutcome::Failed;
    std::string columnMismatch;    // the column check's list of differences, when there are any
    std::string encoding;          // how the file was read: "UTF-8", "CP936", "UTF-16LE", ...
    std::size_t linesRead = 0;     // data lines read, the key filter's dropped lines included
    std::size_t linesSkipped = 0;  // data lines the key filter dropped
    std::size_t rowsInserted = 0;
    long long rowsDeleted = -1;               // rows of the table gone before the inserts; -1 when nothing was deleted
    std::size_t changedCells = 0;             // cells as CellNote describes, all of them
    std::vector<CellNote> firstChangedCells;  // the first kFirstCellNotes of them
    std::size_t replacedBytes = 0;            // byte sequences the encoding cannot read, read as U+FFFD
    std::vector<std::string> warnings;        // things that went wrong after the data were committed
    double seconds = 0;
};

inline constexpr std::size_t kFirstCellNotes = 20;

}  // namespace dovrel

#include "exchange/detail/table_import.h"

#include <charconv>
#include <optional>

#include "exchange/detail/localized.h"
#include "exchange/detail/check_source.h"
#include "exchange/detail/column_utilities.h"
#include "exchange/detail/error_report.h"
#include "exchange/detail/identifiers.h"
#include "exchange/detail/refusal.h"
#include "exchange/detail/row_statement.h"
#include "exchange/detail/source_reader.h"
#include "exchange/detail/source_text.h"
#include "exchange/detail/text_decoder.h"
#include "exchange/detail/texts.h"
#include "exchange/detail/triggers.h"
#include "platform/runtime_error.h"
#include "platform/text.h"

namespace dovrel::exchange::detail {
namespace {

constexpr std::size_t kBatchRows = 100;

// The first header name equal to `name` (exact comparison).
std::optional<std::size_t> findColumn(const std::vector<std::string_view>& names, std::string_view name) {
    for (std::size_t c = 0; c < names.size(); ++c)
        if (names[c] == name) return c;
    return std::nullopt;
}

// The server could not be reached, or refused the login or the database.
bool isConnectionFailure(const ado::DatabaseError& error) {
    for (const ado::ErrorEntry& entry : error.entries()) {
        if (entry.SQLState.starts_with("08") || entry.SQLState.starts_with("28")) return true;
        if (entry.Number == 18456 || entry.Number == 4060) return true;
    }
    return false;
}

std::string writtenAs(CellChange change) {
    switch (change) {
    case CellChange::ToNull: return "NULL";
    case CellChange::ToEmptyDate: return "''";
    case CellChange::ToEmptyText: return "N''";
    case CellChange::ToZero: return "0";
    default: return {};
    }
}

std::string changedCellsText(const ImportSummary& summary) {
    std::string text = localized(formatText(kChangedCells, {std::to_string(summary.changedCells)})) + "\r\n";
    for (const CellNote& note : summary.firstChangedCells)
        text += localized(formatText(kChangedCell, {std::to_string(note.line), note.column, note.value,
                                                    note.writtenAs.empty() ? kNoValue : note.writtenAs})) +
                "\r\n";
    if (summary.changedCells > summary.firstChangedCells.size())
        text += localized(
                    formatText(kMoreCells, {std::to_string(summary.changedCells - summary.firstChangedCells.size())})) +
                "\r\n";
    text.resize(text.size() - 2);  // the report adds the last line end
    return text;
}

}  // namespace

std::string TableImport::run(bool dryRun) {
    try {
        std::string result = load(dryRun);
        if (result.empty()) summary_.outcome = ImportOutcome::Success;
        return result;
    } catch (const Refusal& refusal) {
        summary_.outcome = refusal.outcome();
        return refusal.description() + "\r\n";
    } catch (...) {
        ErrorReport error = describeCurrentException();
        summary_.outcome = ImportOutcome::Failed;
        try {
            throw;
        } catch (const ado::DatabaseError& e) {
            if (isConnectionFailure(e)) summary_.outcome = ImportOutcome::ConnectionFailed;
        } catch (...) {}
        return std::to_string(error.number) + error.description + "\r\n" + batchEcho_;
    }
}

void TableImport::checkNames() const {
    // The table's name goes into statements as it stands: anything but a
    // name could end the statement and begin another, before the
    // transaction or in it. (Column names are bracketed where needed.)
    if (!isTableName(tableName_))
        throw Refusal(ImportOutcome::BadArgument, err::InvalidArgument, localized(kBadTableName) + echo(tableName_));
    if (!options_.Encoding.empty() && !TextDecoder::open(options_.Encoding))
        throw Refusal(ImportOutcome::BadArgument, err::InvalidArgument,
                      localized(kUnknownEncoding) + echo(options_.Encoding));
}

// Opens the table's probe on its own connection, to tell a server that is
// not there from a table that is not there.
void TableImport::probeTable() {
    ado::Connection connection;
    try {
        connection.Open(options_.ConnectStr);
    } catch (const ado::DatabaseError& e) {
        throw Refusal(ImportOutcome::ConnectionFailed, e.number(), localized(kCannotConnect) + e.description());
    }
    try {
        ado::Recordset probe;
        probe.Open("Select * From " + tableName_ + " Where 1=2 ", connection);
    } catch (const ado::DatabaseError& e) {
        throw Refusal(ImportOutcome::Refused, e.number(),
                      localized(formatText(kCannotQueryTable, {tableName_})) + e.description());
    }
}

long long TableImport::tableRows() {
    std::unique_ptr<ado::Recordset> count = connection_.Execute("Select Count(*) From " + tableName_);
    if (!count || count->EOF_() || !count->Fields(0).Value()) return 0;
    return std::stoll(*count->Fields(0).Value());
}

std::string TableImport::load(bool dryRun) {
    checkNames();
    const std::string fileProblem = problemWithSourceFile(fileName_);
    if (dryRun) {
        if (!fileProblem.empty())
            throw Refusal(ImportOutcome::FileUnreadable, err::FileNotFound,
                          localized(formatText(kCannotRead, {echo(fileName_), fileProblem})));
        probeTable();
    }

    std::string mismatch;
    if (compareSourceColumns(fileName_, tableName_, mismatch, options_.ConnectStr, {options_.Encoding, false}) == -1) {
        summary_.outcome = fileProblem.empty() ? ImportOutcome::Refused : ImportOutcome::FileUnreadable;
        summary_.columnMismatch = mismatch;
        return localized(kFieldsMismatch) + mismatch + "\r\n";
    }

    SourceReadOptions read;
    read.toBig5 = options_.ToBig5;
    read.encoding = options_.Encoding;
    read.strict = options_.Strict;
    read.keyField = options_.KeyField;
    read.keyValue = options_.KeyValue;
    read.keyKind = [this] { return ColumnKind(options_.ConnectStr, tableName_, options_.KeyField); };
    read.events = events_;
    const SourceGrid grid = readSourceData(fileName_, tableName_, read);
    if (grid.empty()) throw RuntimeError(err::SubscriptOutOfRange);
    const std::size_t rows = grid.dataRows();
    summary_.encoding = grid.encoding();
    summary_.linesRead = grid.linesRead();
    summary_.linesSkipped = grid.linesRead() - rows;
    summary_.replacedBytes = grid.replacedBytes();

    std::vector<std::string_view> names;
    grid.rowCells(0, names);
    std::vector<ColumnDescription> columns;
    {
        ado::Recordset probe;
        probe.Open("SELECT * FROM " + tableName_ + " Where 1=2", options_.ConnectStr);
        columns = describeColumns(probe, names);
    }

    // Key numbering: the numbered values replace the file's.
    const std::string numbered = options_.IDmode == 1 && !options_.KeyField.empty() ? options_.KeyField
                                 : options_.IDmode == 2 && !options_.IDname.empty() ? options_.IDname
                                                                                    : std::string();
    std::optional<std::size_t> numberedColumn;
    int64_t start = 0;
    if (!numbered.empty()) {
        numberedColumn = findColumn(names, numbered);
        if (!dryRun) {
            std::optional<ErrorReport> unreadable;
            start = NextValue(tableName_, numbered, options_.ConnectStr, &unreadable);
            // Numbering on from a maximum that could not be read would write wrong keys.
            if (numberedColumn && unreadable) throw RuntimeError(unreadable->number, unreadable->description);
        }
    }

    // Cells the statements would not write as they stand, before anything is written.
    std::vector<std::string_view> cells;
    for (std::size_t r = 1; r <= rows; ++r) {
        grid.rowCells(r, cells);
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (c == numberedColumn) continue;
            const CellChange change = cellChange(columns[c], cells[c]);
            if (change == CellChange::None) continue;
            if (summary_.changedCells++ < kFirstCellNotes)
                summary_.firstChangedCells.push_back(
                    {grid.lineNumber(r), echo(names[c]), echo(cells[c]), writtenAs(change)});
        }
    }
    if (options_.Strict && summary_.changedCells > 0)
        throw Refusal(ImportOutcome::Refused, err::InvalidArgument, changedCellsText(summary_));
    const bool deleting = !options_.strDelete.empty() || options_.CanDelete == 1;
    if (options_.RefuseEmptyFilteredLoad && deleting && rows == 0 && grid.linesRead() > 0)
        throw Refusal(ImportOutcome::Refused, err::InvalidArgument, localized(kEmptyFilter));
    if (dryRun) return {};

    const std::string prefix = statementPrefix(tableName_, names);
    connection_.Open(options_.ConnectStr);
    ado::Transaction transaction(connection_);
    if (dropTriggers_) dropTriggers();
    if (options_.IDmode > 0) ExecuteSql(&connection_, "Set Identity_Insert " + tableName_ + " On");
    const long long before = countRows_ && deleting ? tableRows() : -1;
    if (!options_.strDelete.empty())
        connection_.Execute(options_.strDelete);
    else if (options_.CanDelete == 1)
        connection_.Execute("Delete From " + tableName_);
    if (before >= 0) summary_.rowsDeleted = before - tableRows();
    // The statements write dates year-month-day; a login whose language
    // reads them day first (British, French, German, ...) would refuse or
    // swap them. After the host's own delete statement, which may be
    // written in the login's conventions.
    connection_.Execute("SET DATEFORMAT ymd");

    char number[24];
    auto rowCells = [&](std::size_t r) {
        grid.rowCells(r, cells);
        if (numberedColumn) {
            auto written = std::to_chars(number, number + sizeof number, start + static_cast<int64_t>(r));
            cells[*numberedColumn] = std::string_view(number, static_cast<std::size_t>(written.ptr - number));
        }
        return std::span<const std::string_view>(cells);
    };
    // The report's copy of a batch, long values cut.
    auto echoBatch = [&](std::size_t first, std::size_t last) {
        batchEcho_.clear();
        for (std::size_t r = first; r <= last; ++r)
            appendRowStatement(batchEcho_, prefix, columns, rowCells(r), kEchoLimit);
    };
    auto batchFailure = [&](std::size_t first, std::size_t last) {
        echoBatch(first, last);
        summary_.outcome = ImportOutcome::BatchFailed;
        std::string report = localized(kUpdateFailed) + "\r\n" + batchEcho_;
        const ado::Errors& errors = connection_.Errors_();
        for (long i = 0; i < errors.Count(); ++i)
            report += localized(kServerSaid) + errors.Item(i).Description + "\r\n";
        return report + localized(formatText(kBatchBeginsAt, {std::to_string(grid.lineNumber(first))})) + "\r\n";
    };

    std::size_t batchFirst = 1;
    try {
        for (std::size_t r = 1; r <= rows; ++r) {
            appendRowStatement(batch_, prefix, columns, rowCells(r));
            if (r % kBatchRows == 0) {
                if (events_)
                    events_->AfterImportARow(saturate32(static_cast<double>(rows)), saturate32(static_cast<double>(r)));
                if (ExecuteSql(&connection_, batch_)) return batchFailure(batchFirst, r);
                batch_.clear();
                batchFirst = r + 1;
            }
        }
        if (!batch_.empty() && ExecuteSql(&connection_, batch_)) return batchFailure(batchFirst, rows);
    } catch (...) {
        if (!batch_.empty()) echoBatch(batchFirst, std::min(rows, batchFirst + kBatchRows - 1));
        throw;
    }
    batch_.clear();

    std::string reason;
    if (const SavedTrigger* lost = recreateTriggers(reason))
        return localized(kTriggerNotRecreated) + lost->name + "\r\n" + reason;
    try {
        transaction.commit();
    } catch (const ado::DatabaseError& e) {
        // The commit went through when the transaction is over: only restoring
        // autocommit after it failed. Reporting a failure would have the rows
        // imported twice.
        if (connection_.InTransaction()) throw;
        summary_.warnings.push_back(localized(kCommitWarning) + e.description());
    }
    summary_.rowsInserted = rows;
    if (options_.IDmode > 0) ExecuteSql(&connection_, "Set Identity_Insert " + tableName_ + " Off");
    return {};
}

void TableImport::dropTriggers() {
    const std::string list = ListTriggers(&connection_, tableName_, "\t");
    if (trimSpaces(list).empty()) return;
    for (std::size_t begin = 0;;) {
        std::size_t tab = list.find('\t', begin);
        SavedTrigger trigger;
        trigger.name = list.substr(begin, tab == std::string::npos ? std::string::npos : tab - begin);
        trigger.definition = TriggerText(&connection_, trigger.name);
        if (!trigger.name.empty()) trigger.dropped = !ExecuteSql(&connection_, "Drop Trigger " + trigger.name);
        triggers_.push_back(std::move(trigger));
        if (tab == std::string::npos) break;
        begin = tab + 1;
    }
}

// Only triggers that were dropped are created again: one whose drop failed is
// still there.
const TableImport::SavedTrigger* TableImport::recreateTriggers(std::string& reason) {
    for (const SavedTrigger& trigger : triggers_) {
        if (!trigger.dropped) continue;
        if (trigger.definition.empty()) return &trigger;  // nothing was saved to create it from
        if (ExecuteSql(&connection_, trigger.definition)) {
            const ado::Errors& errors = connection_.Errors_();
            if (errors.Count() > 0) reason = errors.Item(0).Description;
            return &trigger;
        }
    }
    return nullptr;
}

}  // namespace dovrel::exchange::detail

#include "exchange/detail/table_import.h"

#include <charconv>
#include <optional>

#include "exchange/detail/column_utilities.h"
#include "exchange/detail/error_report.h"
#include "exchange/detail/row_statement.h"
#include "exchange/detail/source_reader.h"
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

}  // namespace

std::string TableImport::run() {
    try {
        return load();
    } catch (...) {
        ErrorReport error = describeCurrentException();
        rollBack();
        return std::to_string(error.number) + error.description + "\r\n" + batch_;
    }
}

std::string TableImport::failure(const std::string& text) {
    rollBack();
    return text;
}

void TableImport::rollBack() {
    if (!inTransaction_) return;
    inTransaction_ = false;
    try {
        connection_.RollbackTrans();
    } catch (...) {
        // The server may have ended the transaction itself; nothing is left to undo.
    }
}

std::string TableImport::load() {
    SourceReadOptions read;
    read.toBig5 = options_.ToBig5;
    read.keyField = options_.KeyField;
    read.keyValue = options_.KeyValue;
    read.keyKind = [this] { return ColumnKind(options_.ConnectStr, tableName_, options_.KeyField); };
    read.events = events_;
    const SourceGrid grid = readSourceData(fileName_, tableName_, read);
    if (grid.empty()) throw RuntimeError(err::SubscriptOutOfRange);
    const std::size_t rows = grid.dataRows();

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
        std::optional<ErrorReport> unreadable;
        start = NextValue(tableName_, numbered, options_.ConnectStr, &unreadable);
        numberedColumn = findColumn(names, numbered);
        // Numbering on from a maximum that could not be read would write wrong keys.
        if (numberedColumn && unreadable) throw RuntimeError(unreadable->number, unreadable->description);
    }
    const std::string prefix = statementPrefix(tableName_, names);

    connection_.Open(options_.ConnectStr);
    connection_.BeginTrans();
    inTransaction_ = true;
    if (dropTriggers_) dropTriggers();
    if (options_.IDmode > 0) ExecuteSql(&connection_, "Set Identity_Insert " + tableName_ + " On");
    if (!options_.strDelete.empty())
        connection_.Execute(options_.strDelete);
    else if (options_.CanDelete == 1)
        connection_.Execute("Delete From " + tableName_);

    const std::string updateFailed = localized(kUpdateFailed) + "\r\n";
    std::vector<std::string_view> cells;
    char number[24];
    for (std::size_t r = 1; r <= rows; ++r) {
        grid.rowCells(r, cells);
        if (numberedColumn) {
            auto written = std::to_chars(number, number + sizeof number, start + static_cast<int64_t>(r));
            cells[*numberedColumn] = std::string_view(number, static_cast<std::size_t>(written.ptr - number));
        }
        appendRowStatement(batch_, prefix, columns, cells);
        if (r % kBatchRows == 0) {
            if (events_) events_->AfterImportARow(saturate32(static_cast<double>(rows)), saturate32(static_cast<double>(r)));
            if (ExecuteSql(&connection_, batch_)) return failure(updateFailed + batch_);
            batch_.clear();
        }
    }
    if (!batch_.empty() && ExecuteSql(&connection_, batch_)) return failure(updateFailed + batch_);

    std::string reason;
    if (const SavedTrigger* lost = recreateTriggers(reason))
        return failure(localized(kTriggerNotRecreated) + lost->name + "\r\n" + reason);
    connection_.CommitTrans();
    inTransaction_ = false;
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

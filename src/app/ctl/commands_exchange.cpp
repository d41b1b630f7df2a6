// import and check-file: the table exchange from the command line, as a
// host of Exchange would use it. Refuses by default what the library's
// strict mode refuses; prints one summary line on success; exit codes in
// exit_codes.h.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "app/ctl/commands.h"
#include "app/ctl/exchange_output.h"
#include "app/ctl/exit_codes.h"
#include "app/ctl/json_output.h"
#include "core/build_connection_string.h"
#include "db/connection_string.h"
#include "core/localize.h"
#include "exchange/exchange.h"
#include "platform/messages.h"
#include "core/load_settings.h"
#include "core/ui_font.h"

namespace dovrel::ctl {
namespace {

using Clock = std::chrono::steady_clock;

// A one-line progress bar on the terminal, fed by the exchange's events:
// the reading of the file (against the estimated row count), then the import
// of the rows (against the real one).
class ProgressBar : public ExchangeEvents {
public:
    void AfterGetSourceDataARow(int32_t TotalSize, int32_t ReadSize) override {
        update(Phase::Reading, ReadSize, TotalSize);
    }
    void AfterImportARow(int32_t TotalRow, int32_t CurrentRow) override {
        update(Phase::Importing, CurrentRow, TotalRow);
    }
    // Draws the import complete and leaves the bar on its line.
    void finish(long rows) {
        if (!shown_) return;
        lastDraw_ = {};
        update(Phase::Importing, rows, rows);
        std::fputs("\n", stderr);
        shown_ = false;
    }
    // Removes the bar, so that what follows starts on a clean line.
    void clear() {
        if (shown_) std::fputs("\r\033[K", stderr);
        shown_ = false;
    }

private:
    enum class Phase { None, Reading, Importing };

    void update(Phase phase, long done, long total) {
        const auto now = Clock::now();
        if (phase != phase_) {
            phase_ = phase;
            phaseStart_ = now;
        } else if (now - lastDraw_ < std::chrono::milliseconds(100) && done < total) {
            return;
        }
        lastDraw_ = now;
        if (total < done) total = done;  // the read estimate can fall short
        const double seconds = std::chrono::duration<double>(now - phaseStart_).count();
        const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
        const int width = 30;
        const int filled =
            total > 0 ? static_cast<int>(width * static_cast<double>(done) / static_cast<double>(total)) : 0;
        std::string bar(static_cast<std::size_t>(filled), '#');
        bar.resize(width, '.');
        const std::string label = LocalizeText(phase == Phase::Reading ? "读取" : "导入");
        std::fprintf(stderr, "\r%s [%s] %ld/%ld %s  %.0f %s\033[K", label.c_str(), bar.c_str(), done, total,
                     LocalizeText("行").c_str(), rate, LocalizeText("行/秒").c_str());
        std::fflush(stderr);
        shown_ = true;
    }

    Phase phase_ = Phase::None;
    Clock::time_point phaseStart_, lastDraw_;
    bool shown_ = false;
};

// Message boxes on stderr, after clearing the progress bar, their lines
// ended by LF.
class ClearingMessageSink : public MessageSink {
public:
    explicit ClearingMessageSink(ProgressBar& bar) : bar_(bar) {}
    MessageAnswer show(const Message& message) override {
        bar_.clear();
        Message onTerminal = message;
        onTerminal.text = terminalLines(message.text);
        if (!onTerminal.text.empty()) onTerminal.text.pop_back();  // the sink ends the line
        return stderrSink_.show(onTerminal);
    }

private:
    ProgressBar& bar_;
    StderrMessageSink stderrSink_;
};

// The given connection string, or the stored settings' one for the database.
std::string connectionString(const std::string& given, bool isGiven) {
    if (isGiven) return given;
    loadSettingsOrFail();
    return BuildConnectionString(false);
}

void fail(const std::string& text, int code) {
    std::cerr << terminalLines(text) << std::flush;
    if (jsonOutput()) printJson({{"error", text}, {"exit_code", code}});
    throw CLI::RuntimeError(code);
}

// An exchange whose texts follow the locale as the window program's do.
Exchange localizedExchange() {
    Exchange exchange;
    exchange.SetLocalizer(LocalizeText);
    return exchange;
}

// Texts follow the locale as the window program's do; the file must be one.
void startExchangeCommand(const std::string& file) {
    SelectUiFont();
    if (const std::string problem = localizedExchange().SourceFileProblem(file); !problem.empty())
        fail("dovrelctl: " + unreadableFileText(file, problem), kExitFileUnreadable);
}

struct ImportArguments {
    std::string file, table, connect;
    ImportOptions options;
    bool drop = false;
    bool erase = false;
    bool lenient = false;
    bool allowEmpty = false;
    bool json = false;
};

void addImport(CLI::App& app) {
    auto* cmd = app.add_subcommand("import", "Import a tab-separated text file into a table in one transaction");
    cmd->footer(kExitCodesHelp);
    auto args = std::make_shared<ImportArguments>();
    cmd->add_option("FILE", args->file, "The source file: a header line of column names, then one row a line")
        ->required();
    cmd->add_option("TABLE", args->table, "The table to import into: Name, [Name] or schema.Name")->required();
    auto* connect = cmd->add_option("--connect", args->connect,
                                    "Connection string (default: the stored settings, for the configured database)");
    cmd->add_option("--encoding", args->options.Encoding,
                    "The file's encoding as iconv names it (gbk, gb18030, big5, utf-8, utf-16le, ...); default: "
                    "its byte-order mark, else UTF-8 or the ANSI code page as its bytes show");
    cmd->add_flag("--lenient", args->lenient,
                  "Import cells that are not empty but would be written as NULL, '', N'' or 0 (counted in the "
                  "summary), and bytes that cannot be decoded as U+FFFD, instead of refusing the file");
    cmd->add_flag("--allow-empty", args->allowEmpty,
                  "Go on when the key filter keeps no line although rows are to be deleted");
    cmd->add_flag("--to-big5", args->options.ToBig5, "Accepted for compatibility; the data are not changed");
    auto* keyField = cmd->add_option("--key-field", args->options.KeyField,
                                     "Key column: rows are filtered by --key-value; numbered with --id-mode 1");
    cmd->add_option("--key-value", args->options.KeyValue,
                    "Keys of the rows to import, like an SQL IN list: 1,2,3 or 'A01','B02'")
        ->needs(keyField);
    cmd->add_option("--id-mode", args->options.IDmode,
                    "0 none; 1 number the key column, 2 the --id-name column, from the table's maximum; "
                    "above 0 also inserts explicit identity values")
        ->check(CLI::Range(0, 32767));
    cmd->add_option("--id-name", args->options.IDname, "The column numbered with --id-mode 2");
    cmd->add_flag("--delete", args->erase, "Delete every row of the table before inserting");
    cmd->add_option("--delete-sql", args->options.strDelete, "A statement run before inserting, instead of --delete's");
    cmd->add_flag("--drop-triggers", args->drop, "Drop the table's triggers during the load, re-create them after");
    cmd->add_flag("--json", args->json, "Answer with one JSON object on stdout (the summary's counts)");
    cmd->callback([args, connect] {
        setJsonOutput(args->json);
        startExchangeCommand(args->file);
        args->options.ConnectStr = connectionString(args->connect, connect->count() > 0);
        args->options.CanDelete = args->erase ? 1 : 0;
        args->options.Strict = !args->lenient;
        args->options.RefuseEmptyFilteredLoad = !args->allowEmpty;
        Exchange exchange = localizedExchange();
        exchange.SetIntDropTrigger(args->drop ? 1 : 0);
        ProgressBar bar;
        ClearingMessageSink sink(bar);
        platform::ScopedOverride<MessageSink> scopedSink(sink);
        if (isatty(STDERR_FILENO) && !args->json) exchange.SetEvents(&bar);
        ImportSummary summary;
        const std::string report = exchange.ImportTable(args->file, args->table, args->options, summary);
        if (args->json) {
            printJson(importJson(summary, report));
            if (!report.empty()) throw CLI::RuntimeError(exitCodeFor(summary.outcome));
            return;
        }
        if (!report.empty()) {
            bar.clear();
            fail(report, exitCodeFor(summary.outcome));
        }
        bar.finish(static_cast<long>(summary.rowsInserted));
        for (const std::string& warning : summary.warnings) std::cerr << "dovrelctl: " << terminalLines(warning);
        if (summary.changedCells > 0) std::cerr << changedCellsText(summary);
        std::cout << summaryLine(summary) << std::flush;
    });
}

void addCheckFile(CLI::App& app) {
    auto* cmd = app.add_subcommand(
        "check-file",
        "Compare a source file's column names with a table's columns and check every cell, writing nothing; "
        "exit code 0 only when the file would import as it stands");
    cmd->footer(kExitCodesHelp);
    auto args = std::make_shared<ImportArguments>();
    cmd->add_option("FILE", args->file, "The source file")->required();
    cmd->add_option("TABLE", args->table, "The table")->required();
    auto* connect = cmd->add_option("--connect", args->connect, "Connection string (default: the stored settings)");
    cmd->add_option("--encoding", args->options.Encoding, "The file's encoding, as for import");
    cmd->add_flag("--json", args->json, "Answer with one JSON object on stdout");
    cmd->callback([args, connect] {
        setJsonOutput(args->json);
        startExchangeCommand(args->file);
        args->options.ConnectStr = connectionString(args->connect, connect->count() > 0);
        args->options.Strict = true;
        ProgressBar noBar;
        ClearingMessageSink sink(noBar);
        platform::ScopedOverride<MessageSink> scopedSink(sink);
        ImportSummary summary;
        const std::string report = localizedExchange().CheckFile(args->file, args->table, args->options, summary);
        const int code = exitCodeFor(summary.outcome);
        if (args->json) {
            printJson(importJson(summary, report));
            if (!report.empty()) throw CLI::RuntimeError(code);
            return;
        }
        if (report.empty()) return;
        if (!summary.columnMismatch.empty()) {
            std::cout << summary.columnMismatch << std::endl;
            throw CLI::RuntimeError(code);
        }
        if (summary.changedCells > 0) {
            std::cout << terminalLines(report) << std::flush;
            throw CLI::RuntimeError(code);
        }
        fail("dovrelctl: " + report, code);
    });
}

}  // namespace

void addExchangeCommands(CLI::App& app) {
    addImport(app);
    addCheckFile(app);
}

}  // namespace dovrel::ctl

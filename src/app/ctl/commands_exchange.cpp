// import and check-file: the table exchange from the command line, as a
// host of Exchange would use it.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "app/ctl/commands.h"
#include "core/build_connection_string.h"
#include "db/connection_string.h"
#include "exchange/exchange.h"
#include "platform/messages.h"
#include "core/load_settings.h"

namespace dovrel::ctl {
namespace {

using Clock = std::chrono::steady_clock;

// A one-line progress bar on the terminal, fed by the exchange's events:
// the reading of the file, then the import of the rows.
class ProgressBar : public ExchangeEvents {
public:
    void AfterGetSourceDataARow(int32_t TotalSize, int32_t ReadSize) override {
        update(Phase::Reading, ReadSize, TotalSize);
    }
    void AfterImportARow(int32_t TotalRow, int32_t CurrentRow) override {
        update(Phase::Importing, CurrentRow, TotalRow);
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
        } else if (now - lastDraw_ < std::chrono::milliseconds(100)) {
            return;
        }
        lastDraw_ = now;
        if (total < done) total = done;  // the read estimate can fall short
        const double seconds = std::chrono::duration<double>(now - phaseStart_).count();
        const double rate = seconds > 0 ? done / seconds : 0;
        const int width = 30;
        const int filled = total > 0 ? static_cast<int>(width * static_cast<double>(done) / total) : 0;
        std::string bar(filled, '#');
        bar.resize(width, '.');
        char left[32] = "";
        if (rate > 0) {
            long remaining = static_cast<long>((total - done) / rate);
            std::snprintf(left, sizeof left, "  %ld:%02ld left", remaining / 60, remaining % 60);
        }
        std::fprintf(stderr, "\r%s [%s] %ld/%ld rows  %.0f rows/s%s\033[K",
                     phase == Phase::Reading ? "reading  " : "importing", bar.c_str(), done, total, rate, left);
        std::fflush(stderr);
        shown_ = true;
    }

    Phase phase_ = Phase::None;
    Clock::time_point phaseStart_, lastDraw_;
    bool shown_ = false;
};

// Message boxes on stderr, after clearing the progress bar.
class ClearingMessageSink : public MessageSink {
public:
    explicit ClearingMessageSink(ProgressBar& bar) : bar_(bar) {}
    MessageAnswer show(const Message& message) override {
        bar_.clear();
        return stderrSink_.show(message);
    }

private:
    ProgressBar& bar_;
    StderrMessageSink stderrSink_;
};

// The given connection string, or the stored settings' one for the database.
std::string connectionString(const std::string& given, bool isGiven) {
    if (isGiven) return given;
    LoadSettingsAtStart();
    return BuildConnectionString(false);
}

struct ImportArguments {
    std::string file, table, connect;
    ImportOptions options;
    bool drop = false;
    bool erase = false;
};

void addImport(CLI::App& app) {
    auto* cmd = app.add_subcommand("import", "Import a tab-separated text file into a table in one transaction");
    auto args = std::make_shared<ImportArguments>();
    cmd->add_option("FILE", args->file, "The source file: a header line of column names, then one row a line")
        ->required();
    cmd->add_option("TABLE", args->table, "The table to import into")->required();
    auto* connect = cmd->add_option("--connect", args->connect,
                                    "Connection string (default: the stored settings, for the configured database)");
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
    cmd->add_option("--delete-sql", args->options.strDelete,
                    "A statement run before inserting, instead of --delete's");
    cmd->add_flag("--drop-triggers", args->drop, "Drop the table's triggers during the load, re-create them after");
    cmd->callback([args, connect] {
        args->options.ConnectStr = connectionString(args->connect, connect->count() > 0);
        args->options.CanDelete = args->erase ? 1 : 0;
        Exchange exchange;
        exchange.SetIntDropTrigger(args->drop ? 1 : 0);
        ProgressBar bar;
        ClearingMessageSink sink(bar);
        ScopedMessageSink scopedSink(sink);
        if (isatty(STDERR_FILENO)) exchange.SetEvents(&bar);
        const std::string report = exchange.ImportTable(args->file, args->table, args->options);
        bar.clear();
        if (!report.empty()) {
            std::cerr << report << (report.back() == '\n' ? "" : "\n") << std::flush;
            throw CLI::RuntimeError(1);
        }
    });
}

void addCheckFile(CLI::App& app) {
    auto* cmd = app.add_subcommand("check-file", "Compare a source file's column names with a table's columns");
    auto file = std::make_shared<std::string>();
    auto table = std::make_shared<std::string>();
    auto given = std::make_shared<std::string>();
    cmd->add_option("FILE", *file, "The source file")->required();
    cmd->add_option("TABLE", *table, "The table")->required();
    auto* connect = cmd->add_option("--connect", *given, "Connection string (default: the stored settings)");
    cmd->callback([file, table, given, connect] {
        const std::string connectStr = connectionString(*given, connect->count() > 0);
        std::string mismatch;
        const int16_t result = Exchange().CheckSourceData(*file, *table, mismatch, connectStr);
        if (!mismatch.empty()) std::cout << mismatch << std::endl;
        if (result != 1) {
            if (mismatch.empty())
                std::cerr << "dovrelctl: the columns could not be compared (no such file, an empty table name or "
                             "an empty header line)\n";
            throw CLI::RuntimeError(1);
        }
    });
}

}  // namespace

void addExchangeCommands(CLI::App& app) {
    addImport(app);
    addCheckFile(app);
}

}  // namespace dovrel::ctl

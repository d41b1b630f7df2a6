#pragma once
// One run of ImportTable (or of CheckFile, which stops before writing):
// names checked, columns checked, file read, cells checked, then in one
// transaction old rows deleted and new ones inserted in batches, with
// triggers and identity insertion handled.
#include <string>
#include <vector>

#include "db/ado.h"
#include "exchange/exchange.h"
#include "exchange/import_summary.h"

namespace dovrel::exchange::detail {

class TableImport {
public:
    TableImport(const std::string& fileName, const std::string& tableName, const ImportOptions& options,
                int16_t intDropTrigger, ExchangeEvents* events, ImportSummary& summary, bool countRows)
        : fileName_(fileName),
          tableName_(tableName),
          options_(options),
          dropTriggers_(intDropTrigger == 1),
          events_(events),
          summary_(summary),
          countRows_(countRows) {}

    // Empty text on success, otherwise the report; never throws. With
    // `dryRun` nothing is written: the run ends once the cells are checked.
    std::string run(bool dryRun = false);

private:
    struct SavedTrigger {
        std::string name;
        std::string definition;
        bool dropped = false;
    };

    std::string load(bool dryRun);
    void checkNames() const;
    void probeTable();
    void dropTriggers();
    // The name of the first dropped trigger that could not be created again
    // (nullptr when all were), with the server's message in `reason`.
    const SavedTrigger* recreateTriggers(std::string& reason);
    long long tableRows();

    const std::string& fileName_;
    const std::string& tableName_;
    const ImportOptions& options_;
    const bool dropTriggers_;
    ExchangeEvents* events_;
    ImportSummary& summary_;
    const bool countRows_;  // count the rows the delete removes (two more queries)

    ado::Connection connection_;
    std::string batch_;      // the statements of the batch being built
    std::string batchEcho_;  // the same for a report, long values cut
    std::vector<SavedTrigger> triggers_;
};

}  // namespace dovrel::exchange::detail

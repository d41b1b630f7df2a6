#pragma once
// One run of ImportTable after its column check: read, number, delete,
// insert in batches, with triggers and identity insertion handled, all in one
// transaction.
#include <string>
#include <vector>

#include "db/ado.h"
#include "exchange/exchange.h"

namespace dovrel::exchange::detail {

class TableImport {
public:
    TableImport(const std::string& fileName, const std::string& tableName, const ImportOptions& options,
                int16_t intDropTrigger, ExchangeEvents* events, const TextLocalizer& localizer)
        : fileName_(fileName), tableName_(tableName), options_(options), dropTriggers_(intDropTrigger == 1),
          events_(events), localizer_(localizer) {}

    // Empty text on success, otherwise the report; never throws.
    std::string run();

private:
    struct SavedTrigger {
        std::string name;
        std::string definition;
        bool dropped = false;
    };

    std::string load();
    void dropTriggers();
    // The name of the first dropped trigger that could not be created again
    // (nullptr when all were), with the server's message in `reason`.
    const SavedTrigger* recreateTriggers(std::string& reason);
    std::string failure(const std::string& text);
    void rollBack();
    std::string localized(const std::string& text) const { return localizedBy(localizer_, text); }

    const std::string& fileName_;
    const std::string& tableName_;
    const ImportOptions& options_;
    const bool dropTriggers_;
    ExchangeEvents* events_;
    const TextLocalizer& localizer_;

    ado::Connection connection_;
    bool inTransaction_ = false;
    std::string batch_;
    std::vector<SavedTrigger> triggers_;
};

}  // namespace dovrel::exchange::detail

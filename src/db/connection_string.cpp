#include "db/connection_string.h"

namespace dovrel {

std::unique_ptr<ado::Recordset> OpenRecordset(const std::string& connectionString, const std::string& sql) {
    try {
        auto recordset = std::make_unique<ado::Recordset>();
        recordset->Open(sql, connectionString);
        return recordset;
    } catch (...) {
        // The reason is not the caller's business: a null result says it all.
        return nullptr;
    }
}

bool TryConnect(const std::string& connectionString, const std::string& sql) {
    return OpenRecordset(connectionString, sql) != nullptr;
}

}  // namespace dovrel

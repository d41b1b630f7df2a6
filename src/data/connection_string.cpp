#include "data/connection_string.h"

namespace dovrel {

std::string buildConnectionString(const ConnectionSettingsRecord& settings, bool forMaster) {
    // The blanks are part of the format that every installation has stored.
    std::string text = "provider = sqloledb;";
    text += "data source=" + settings.ServerName;
    text += forMaster ? ";initial catalog= Master" : ";initial catalog=" + settings.DatabaseName;
    text += ";user id =" + settings.UserName;
    text += ";Password= " + settings.UserPassword;
    text += ";";
    return text;
}

std::string BuildConnectionString(bool forMaster) {
    return buildConnectionString(runState().ConnectionSettings, forMaster);
}

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

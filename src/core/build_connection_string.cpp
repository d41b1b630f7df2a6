#include "core/build_connection_string.h"

#include "db/connection_string.h"

namespace dovrel {

std::string connectionStringFor(const ConnectionSettingsRecord& settings, bool forMaster) {
    // The blanks are part of the format that every installation has stored.
    // A value that would not read back as it is (";", quotes, blanks at an
    // end) goes in quotes: it is data, never more keywords.
    using connstr::quoteOleDbValue;
    std::string text = "provider = sqloledb;";
    text += "data source=" + quoteOleDbValue(settings.ServerName);
    text += forMaster ? ";initial catalog= Master" : ";initial catalog=" + quoteOleDbValue(settings.DatabaseName);
    text += ";user id =" + quoteOleDbValue(settings.UserName);
    text += ";Password= " + quoteOleDbValue(settings.UserPassword);
    text += ";";
    return text;
}

std::string BuildConnectionString(bool forMaster) {
    return connectionStringFor(runState().ConnectionSettings, forMaster);
}

}  // namespace dovrel

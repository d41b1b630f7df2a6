#include "core/build_connection_string.h"

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

}  // namespace dovrel

#include "core/connection_fields.h"

#include "core/run_state.h"
#include "platform/text.h"

namespace dovrel {

void CopyControlsToSettings(const ConnectionFields& fields) {
    ConnectionSettingsRecord& settings = runState().ConnectionSettings;
    settings.ServerName = trimSpaces(fields.server);
    settings.DatabaseName = trimSpaces(fields.database);
    settings.UserName = trimSpaces(fields.user);
    settings.UserPassword = fields.password;
}

void TakeBackFieldsAfterUnreachableStart(const ConnectionFields& fields) {
    ConnectionSettingsRecord& settings = runState().ConnectionSettings;
    settings.DatabaseName = trimSpaces(fields.database);
    settings.UserName = trimSpaces(fields.user);
    settings.UserPassword = trimSpaces(fields.password);
}

}  // namespace dovrel

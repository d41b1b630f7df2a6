#include "core/load_settings.h"

#include "cipher/cipher_text.h"
#include "core/read_setting.h"
#include "core/run_state.h"
#include "core/settings.h"
#include "core/settings_schema.h"
#include "platform/settings_backend.h"

namespace dovrel {

std::optional<std::string> LoadSettingsAtStart() {
    ConnectionSettingsRecord& settings = runState().ConnectionSettings;
    std::optional<std::string> problem = platform::machineSettings().problem();
    const std::string machine = GetMachineName();
    // "Password" is read before "User": on a first run the values are
    // created in the order ServerName, DataBase, Password, User.
    ReadSetting(kSettingsKey, value_name::ServerName, settings.ServerName, machine);
    ReadSetting(kSettingsKey, value_name::DataBase, settings.DatabaseName, default_value::Database);
    ReadSetting(kSettingsKey, value_name::Password, settings.UserPassword, default_value::Password);
    ReadSetting(kSettingsKey, value_name::User, settings.UserName, default_value::User);
    // The store holds cipher text; the login is decrypted before the password.
    settings.UserName = CipherText("D", kCipherKey, settings.UserName);
    settings.UserPassword = CipherText("D", kCipherKey, settings.UserPassword);
    return problem;
}

}  // namespace dovrel

#include "core/load_settings.h"

#include "cipher/cipher_text.h"
#include "core/run_state.h"
#include "core/settings.h"
#include "core/read_setting.h"

namespace dovrel {

void LoadSettingsAtStart() {
    ConnectionSettingsRecord& settings = runState().ConnectionSettings;
    const std::string machine = GetMachineName();
    // "Password" is read before "User": on a first run the values are
    // created in the order ServerName, DataBase, Password, User.
    ReadSetting(kSettingsKey, "ServerName", settings.ServerName, machine);
    ReadSetting(kSettingsKey, "DataBase", settings.DatabaseName, "TovixHR");
    ReadSetting(kSettingsKey, "Password", settings.UserPassword, "");
    ReadSetting(kSettingsKey, "User", settings.UserName, "sa");
    // The store holds cipher text; the login is decrypted before the password.
    settings.UserName = CipherText("D", kCipherKey, settings.UserName);
    settings.UserPassword = CipherText("D", kCipherKey, settings.UserPassword);
}

}  // namespace dovrel

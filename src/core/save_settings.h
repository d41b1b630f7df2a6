#pragma once
// Saving the connection settings to the machine-wide store, for the
// settings window's Save command and the command line's "set".
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/connection_fields.h"

namespace dovrel {

struct SettingsToSave {
    // The values to write; a missing one is left as stored. The server,
    // database and login lose the spaces around them; the password keeps them.
    std::optional<std::string> server, database, user, password;
    // The login and password already are cipher text (the window's boxes
    // after the encryption tool); otherwise they are encrypted here, so that
    // the store never receives them in clear.
    bool credentialsAreCipherText = false;
    // The command line's explicit choice to store them in clear.
    bool storeCredentialsInClear = false;
};

// The settings window's Save: its four fields written under the busy
// pointer, then the outcome in a message box. After the encryption tool the
// boxes hold cipher text (`credentialsAreCipherText`); otherwise the login
// and password are encrypted on saving, so that the store never holds them
// in clear.
void SaveFromWindow(const ConnectionFields& fields, bool credentialsAreCipherText);

// A value that was not written, and why.
struct SaveFailure {
    std::string valueName;
    int32_t code = 0;  // the store's code; kNotRestorable when the cipher cannot give it back
};
inline constexpr int32_t kNotRestorable = -1;

// Writes every value given, in the order server, database, login,
// password, each whatever became of the others. A login or password that
// the cipher cannot give back is refused before anything is written.
std::vector<SaveFailure> SaveSettings(const SettingsToSave& settings);

// The message after saving: "保存成功！", or "保存失败：" naming each failed
// value with its code and a short reason.
std::string SaveOutcomeText(const std::vector<SaveFailure>& failures);

// A short reason for a store's code.
std::string StoreCodeReason(int32_t code);

}  // namespace dovrel

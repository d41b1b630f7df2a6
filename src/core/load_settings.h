#pragma once
#include <optional>
#include <string>

namespace dovrel {

// Start-up steps 4 to 9: the computer name, then ServerName, DataBase,
// Password and User read in that order (missing ones created with their
// defaults), then the login and the password decrypted, into runState().
// Returns why the settings store could not be read (its file and the place
// of the damage), nullopt when it could; the settings then stay empty and
// nothing is written to the store.
std::optional<std::string> LoadSettingsAtStart();

}  // namespace dovrel

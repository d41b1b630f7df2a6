#pragma once

namespace dovrel {

// Start-up steps 4 to 9: the computer name, then ServerName, DataBase,
// Password and User read in that order (missing ones created with their
// defaults), then the login and the password decrypted, into runState().
void LoadSettingsAtStart();

}  // namespace dovrel

#pragma once

namespace dovrel::ui {

// Start-up step 11: creates the settings window and shows it modally;
// returns when the user has closed it.
//
// Hidden option for the documentation: when the environment variable
// DOVREL_SCREENSHOT names a file, the window is saved there as a PNG
// shortly after it is shown, and then closed.
void ShowSettingsWindowModal();

}  // namespace dovrel::ui

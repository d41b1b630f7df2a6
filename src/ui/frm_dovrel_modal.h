#pragma once

namespace dovrel::ui {

// Start-up step 11: creates the settings window and shows it modally;
// returns when the user has closed it.
void ShowSettingsWindowModal();

}  // namespace dovrel::ui

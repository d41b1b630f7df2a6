#pragma once

namespace dovrel::ui {

// Start-up step 11: creates the settings window and shows it modally;
// returns when the user has closed it.
//
// Hidden option for the documentation: when the environment variable
// DOVREL_SCREENSHOT names a file, the window is saved there as a PNG
// shortly after it is shown, and then closed.
//
// Hidden option for the start-up benchmark: with DOVREL_EXIT_WHEN_SHOWN=1
// the window, once shown and painted, prints "shown N ms after start" on
// stdout (N counted from the process's start, in 10 ms steps) and closes.
void ShowSettingsWindowModal();

}  // namespace dovrel::ui

#pragma once
// Main, the start-up of the Windows window program, step by step.
#include <functional>

#include <windows.h>

namespace dovrel::winui {

// Step 11: creates the settings window and shows it modally over the
// progress window `progress`, returning once the user has closed it.
using SettingsWindowStep = std::function<void(HWND progress)>;

// Runs the whole start-up on the calling thread, which becomes the
// user-interface thread, with the message boxes and the UI host of the
// Windows front end installed for its duration: busy pointer, display
// font, progress window shown and painted, settings loaded, server checked
// off this thread, then `settingsWindowStep`; afterwards the progress
// window is unloaded and the pointer restored.
void Main(const SettingsWindowStep& settingsWindowStep);

// Step 11 of the program itself.
void ShowSettingsWindowModal(HWND progress);

}  // namespace dovrel::winui

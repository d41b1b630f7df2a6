#pragma once
// Main, the start-up of the window program, step by step.
#include <functional>

namespace dovrel::ui {

// Step 11: creates the settings window and shows it modally, returning
// once the user has closed it.
using SettingsWindowStep = std::function<void()>;

// Runs the whole start-up on the user-interface thread, the Qt message box
// and UI host installed for its duration: busy pointer, display font,
// progress window shown, settings loaded, server checked, then
// `settingsWindowStep`; afterwards the progress window is unloaded
// and the pointer restored. Needs a QApplication.
void Main(const SettingsWindowStep& settingsWindowStep);

}  // namespace dovrel::ui

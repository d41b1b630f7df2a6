#pragma once
// The start-up of the window program, steps 1 to 13, whatever the window
// system: the hosts supply their windows, the order is kept here.
#include <functional>

namespace dovrel {

// What the start-up asks of a window system.
class StartUpWindows {
public:
    virtual ~StartUpWindows() = default;
    // Step 3: the progress window, modeless, shown before any work.
    virtual void showProgressWindow() = 0;
    // Runs `work` off the user-interface thread while the progress window
    // goes on painting; returns when it is done.
    virtual void runBesideProgressWindow(const std::function<void()>& work) = 0;
    // Step 11: the settings window, modal; returns once the user closed it.
    virtual void showSettingsWindow() = 0;
    // Step 12: the progress window unloaded.
    virtual void closeProgressWindow() = 0;
};

// Busy pointer, display font, progress window shown and painted, settings
// loaded (a store that cannot be read is told in a message box), the server
// checked beside the progress window, the settings window, then the progress
// window unloaded and the pointer restored. The caller installs its message
// sink and UI host for the duration.
void RunStartUp(StartUpWindows& windows);

}  // namespace dovrel

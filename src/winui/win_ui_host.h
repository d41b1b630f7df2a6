#pragma once
// The window system's side of UiHost on Windows: the application-wide
// busy pointer, the progress window's status line, the settings window's
// status panel and one pass over pending messages. One instance serves
// both windows; each registers its part while it exists. The work that
// calls it may run on a worker thread: the windows are always changed on
// the user-interface thread.
#include <windows.h>

#include <functional>
#include <string>

#include "platform/ui_host.h"

namespace dovrel::winui {

class WinUiHost : public UiHost {
public:
    // The one host of the process.
    static WinUiHost& instance();

    // The busy pointer is set once, however often it is asked for, and the
    // default pointer comes back with one call.
    void setBusyPointer(bool busy) override;
    void setStatusPanelText(const std::string& text) override;
    void setProgressText(const std::string& text) override;
    void processPendingEvents() override;

    // True while the busy pointer is on: the windows answer WM_SETCURSOR with it.
    bool busy() const { return busy_; }
    // The progress window's status line (a label that sizes itself to its
    // text); nullptr unregisters it.
    void setProgressLabel(HWND label);
    // Shows a text in the settings window's first status-bar panel; {} removes it.
    void setStatusPanelHandler(std::function<void(const std::string&)> handler);

private:
    bool busy_ = false;
    HWND progressLabel_ = nullptr;
    std::function<void(const std::string&)> statusPanelHandler_;
};

}  // namespace dovrel::winui

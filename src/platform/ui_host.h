#pragma once
// What the program's procedures ask of the window system, as a seam: the
// application-wide pointer, the status texts of the two windows and one
// pass over pending events. Headless by default (every call does nothing);
// the Qt windows install the real host, tests a recording one.
#include <string>
#include <vector>

#include "platform/seam.h"

namespace dovrel {

class UiHost {
public:
    virtual ~UiHost() = default;
    // Application-wide hourglass on (true) or the default pointer (false).
    virtual void setBusyPointer(bool busy) = 0;
    // Panel 1 of the settings window's status bar.
    virtual void setStatusPanelText(const std::string& text) = 0;
    // The status line (lblDesc) of the progress window.
    virtual void setProgressText(const std::string& text) = 0;
    // Let the window system process pending events once.
    virtual void processPendingEvents() = 0;
};

class NullUiHost : public UiHost {
public:
    void setBusyPointer(bool) override {}
    void setStatusPanelText(const std::string&) override {}
    void setProgressText(const std::string&) override {}
    void processPendingEvents() override {}
};

// The host in use: seam<UiHost>(), headless until the windows install theirs.
UiHost& uiHost();

}  // namespace dovrel

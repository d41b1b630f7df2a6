#pragma once
// What the program's procedures ask of the window system, as a seam: the
// application-wide pointer, the status texts of the two windows and one
// pass over pending events. Headless by default (every call does nothing);
// the Qt windows install the real host, tests a recording one.
#include <string>
#include <vector>

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

// Keeps every call, in order, as "busy:1", "status:TEXT", "progress:TEXT", "events".
class RecordingUiHost : public UiHost {
public:
    void setBusyPointer(bool busy) override {
        calls.push_back(busy ? "busy:1" : "busy:0");
        busyPointer = busy;
    }
    void setStatusPanelText(const std::string& text) override { calls.push_back("status:" + text); }
    void setProgressText(const std::string& text) override { calls.push_back("progress:" + text); }
    void processPendingEvents() override { calls.push_back("events"); }
    std::vector<std::string> calls;
    bool busyPointer = false;
};

UiHost& uiHost();
// Installs `host` (nullptr restores the headless one) and returns the previous one.
UiHost* setUiHost(UiHost* host);

class ScopedUiHost {
public:
    explicit ScopedUiHost(UiHost& host) : previous_(setUiHost(&host)) {}
    ~ScopedUiHost() { setUiHost(previous_); }
    ScopedUiHost(const ScopedUiHost&) = delete;
    ScopedUiHost& operator=(const ScopedUiHost&) = delete;

private:
    UiHost* previous_;
};

}  // namespace dovrel

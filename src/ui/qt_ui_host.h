#pragma once
// The window system's side of UiHost: the application-wide pointer, the
// progress window's status line, the settings window's status panel and
// one pass over pending events. One instance serves both windows; each
// window registers its part. The work that calls it may run on a worker
// thread: the widgets are always changed on the user-interface thread.
#include <QPointer>
#include <functional>
#include <string>

#include "platform/ui_host.h"

class QLabel;

namespace dovrel::ui {

class QtUiHost : public UiHost {
public:
    // The one host of the process.
    static QtUiHost& instance();

    // The busy pointer is set once, however often it is asked for, and the
    // default pointer comes back however many were set.
    void setBusyPointer(bool busy) override;
    void setStatusPanelText(const std::string& text) override;
    void setProgressText(const std::string& text) override;
    void processPendingEvents() override;

    // The progress window's status line (lblDesc); forgotten when the label
    // goes away. nullptr unregisters it.
    void setProgressLabel(QLabel* label);
    // Shows a text in the settings window's first status-bar panel; the
    // settings window installs it while it is open, {} removes it.
    void setStatusPanelHandler(std::function<void(const std::string&)> handler);

private:
    static void showBusyPointer(bool busy);
    void showProgressText(const std::string& text);

    QPointer<QLabel> progressLabel_;
    std::function<void(const std::string&)> statusPanelHandler_;
};

}  // namespace dovrel::ui

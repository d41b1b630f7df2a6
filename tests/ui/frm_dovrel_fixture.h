#pragma once
// What every test of the settings window sets up: its own settings file,
// a fresh run state, recorded message boxes and the window system's host
// (so that the status bar shows the busy and ready texts).
#include <QString>
#include <string>

#include "support/closed_port.h"
#include "core/run_state.h"
#include "platform/messages.h"
#include "platform/ui_host.h"
#include "support/scoped_settings_file.h"
#include "ui/qt_ui_host.h"
#include "support/test_doubles.h"

namespace dovrel::test {

struct WindowEnvironment {
    WindowEnvironment() {
        resetRunState();
        runState().UiFontName = "宋体";
    }
    ~WindowEnvironment() { resetRunState(); }
    WindowEnvironment(const WindowEnvironment&) = delete;
    WindowEnvironment& operator=(const WindowEnvironment&) = delete;

    ScopedSettingsFile store;
    RecordingMessageSink messages;
    platform::ScopedOverride<MessageSink> scopedMessages{messages};
    platform::ScopedOverride<UiHost> scopedHost{ui::QtUiHost::instance()};
};

inline QString q(const std::string& text) { return QString::fromStdString(text); }

// The result box's text with the line breaks the program wrote.
inline QString withCrLf(const QString& text) {
    QString copy = text;
    return copy.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
}

}  // namespace dovrel::test

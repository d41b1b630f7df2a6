#pragma once
// What every test of the settings window sets up: its own settings file,
// a fresh run state, recorded message boxes and the window system's host
// (so that the status bar shows the busy and ready texts).
#include <QString>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

#include "data/run_state.h"
#include "platform/messages.h"
#include "platform/ui_host.h"
#include "support/scoped_settings_file.h"
#include "ui/qt_ui_host.h"

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
    ScopedMessageSink scopedMessages{messages};
    ScopedUiHost scopedHost{ui::QtUiHost::instance()};
};

// A loopback port on which nothing listens (bound, read, released).
inline int closedLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

inline QString q(const std::string& text) { return QString::fromStdString(text); }

// The result box's text with the line breaks the program wrote.
inline QString withCrLf(const QString& text) {
    QString copy = text;
    return copy.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
}

}  // namespace dovrel::test

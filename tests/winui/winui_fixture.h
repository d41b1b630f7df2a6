#pragma once
// Ground shared by the tests of the Windows windows: this thread as the
// user-interface thread, the Windows UI host and a recording message sink
// installed, a fresh run state, and the controls read back as they stand.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/run_state.h"
#include "platform/messages.h"
#include "platform/ui_host.h"
#include "support/test_doubles.h"
#include "winui/ui_thread.h"
#include "winui/win_text.h"
#include "winui/win_ui_host.h"

namespace dovrel::test::winui {

class WindowsUi : public ::testing::Test {
protected:
    WindowsUi() { resetRunState(); }
    ~WindowsUi() override { resetRunState(); }

    const dovrel::winui::UiThread uiThread;
    RecordingMessageSink messages;
    const platform::ScopedOverride<MessageSink> scopedMessages{messages};
    const platform::ScopedOverride<UiHost> scopedHost{dovrel::winui::WinUiHost::instance()};
};

// Settings that keep the window away from any server: the start-up check
// found nothing reachable (port 1 of loopback, where nothing listens).
inline void offlineSettings() {
    runState().ConnectionSettings = {"127.0.0.1,1", "TovixHR", "sa", "Secret#1"};
    runState().ServerReachable = false;
    runState().UiFontName = "宋体";
}

// A control's place in the client area of `window`.
inline RECT placeIn(HWND control, HWND window) {
    RECT box;
    GetWindowRect(control, &box);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&box), 2);
    return box;
}

inline std::string text(HWND window) { return dovrel::winui::windowTextUtf8(window); }

// The face a control's font names.
inline std::string fontFace(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return dovrel::winui::utf8(font.lfFaceName);
}

}  // namespace dovrel::test::winui

#pragma once
// A window of the Windows front end: a dialog without controls of its own
// (so that the dialog manager moves the focus, answers mnemonics and keeps
// the focus across activation), a fixed frame without minimise and
// maximise boxes, its controls built from a layout table, its size
// following the DPI of its monitor.
#include <windows.h>

#include <memory>
#include <string_view>

#include "core/window_layout.h"
#include "winui/handles.h"
#include "winui/layout_builder.h"

namespace dovrel::winui {

class DialogWindow {
public:
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;
    virtual ~DialogWindow();

    HWND handle() const { return window_.get(); }
    HWND control(std::string_view name) const { return built_->control(name); }
    const BuiltWindow& built() const { return *built_; }

    // Centres the window on the primary monitor's work area and shows it.
    void show();
    // Handles one message of this thread's queue as the window's message
    // loop does (the key preview first, then the dialog manager).
    void handleMessage(MSG& message);
    // Handles the messages waiting in this thread's queue, and those they post.
    void dispatchPending();

protected:
    // `exStyle` adds to the frame's extended styles (WS_EX_TOOLWINDOW).
    DialogWindow(const layout::Window& table, DWORD exStyle);
    BuiltWindow& builtWindow() { return *built_; }

    // A message of the window's own; true when handled, with `result` the
    // dialog procedure's answer.
    virtual bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);
    // A message on its way from the queue to one of the window's controls;
    // true when it went no further.
    virtual bool previewMessage(MSG& message);

private:
    static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    WindowHandle window_;
    std::unique_ptr<BuiltWindow> built_;
    IconHandle bigIcon_, smallIcon_;
};

}  // namespace dovrel::winui

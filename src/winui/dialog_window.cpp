#include "winui/dialog_window.h"

#include <commctrl.h>

#include <cstdint>
#include <stdexcept>

#include "winui/resources.h"
#include "winui/win_ui_host.h"

namespace dovrel::winui {
namespace {

// An empty dialog template; controls and size come from the layout table.
struct alignas(DWORD) EmptyDialogTemplate {
    DLGTEMPLATE header;
    WORD menu = 0, windowClass = 0, title = 0;
};

void initCommonControls() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
}

IconHandle loadIcon(int size) {
    return IconHandle(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconResource), IMAGE_ICON, size, size, 0)));
}

}  // namespace

DialogWindow::DialogWindow(const layout::Window& table, DWORD exStyle) {
    initCommonControls();
    EmptyDialogTemplate dialog{};
    // A fixed dialog frame with a close box only.
    dialog.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    dialog.header.dwExtendedStyle = exStyle;
    window_.reset(CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &dialog.header, nullptr, dialogProc,
                                             reinterpret_cast<LPARAM>(this)));
    if (!window_) throw std::runtime_error("cannot create the window " + std::string(table.name));
    built_ = std::make_unique<BuiltWindow>(window_.get(), table);
    bigIcon_ = loadIcon(GetSystemMetrics(SM_CXICON));
    smallIcon_ = loadIcon(GetSystemMetrics(SM_CXSMICON));
    SendMessageW(window_.get(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    SendMessageW(window_.get(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
}

DialogWindow::~DialogWindow() {
    // The window goes before the icons and fonts it shows.
    SetWindowLongPtrW(window_.get(), DWLP_USER, 0);
    window_.reset();
}

void DialogWindow::show() {
    RECT frame, area{};
    GetWindowRect(handle(), &frame);
    const HMONITOR monitor = MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{sizeof info, {}, {}, 0};
    if (GetMonitorInfoW(monitor, &info)) area = info.rcWork;
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    SetWindowPos(handle(), nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(handle(), SW_SHOW);
    UpdateWindow(handle());
}

void DialogWindow::handleMessage(MSG& message) {
    const bool mine = message.hwnd == handle() || IsChild(handle(), message.hwnd);
    if (mine && previewMessage(message)) return;
    if (mine && IsDialogMessageW(handle(), &message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void DialogWindow::dispatchPending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        handleMessage(message);
    }
}

bool DialogWindow::onMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

bool DialogWindow::previewMessage(MSG&) { return false; }

INT_PTR CALLBACK DialogWindow::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        return FALSE;  // the focus is set when the controls exist
    }
    auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    switch (message) {
    case WM_SETCURSOR:
        // The busy pointer over the whole window, its controls included.
        if (WinUiHost::instance().busy()) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        break;
    case WM_DPICHANGED:
        if (self != nullptr && self->built_) {
            self->built_->place(HIWORD(wParam));
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window, nullptr, suggested->left, suggested->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            return TRUE;
        }
        break;
    default: break;
    }
    INT_PTR result = 0;
    if (self != nullptr && self->built_ && self->onMessage(message, wParam, lParam, result)) return result;
    return FALSE;
}

}  // namespace dovrel::winui

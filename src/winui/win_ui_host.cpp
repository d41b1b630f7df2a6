#include "winui/win_ui_host.h"

#include "winui/layout_builder.h"
#include "winui/ui_thread.h"
#include "winui/win_text.h"

namespace dovrel::winui {

WinUiHost& WinUiHost::instance() {
    static WinUiHost host;
    return host;
}

void WinUiHost::setBusyPointer(bool busy) {
    onUiThread([this, busy] {
        busy_ = busy;
        // The pointer changes now, not at the next move of the mouse.
        SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
    });
}

void WinUiHost::setStatusPanelText(const std::string& text) {
    onUiThread([this, &text] {
        if (statusPanelHandler_) statusPanelHandler_(text);
    });
}

void WinUiHost::setProgressText(const std::string& text) {
    onUiThread([this, &text] {
        if (progressLabel_ == nullptr || !IsWindow(progressLabel_)) return;
        setWindowText(progressLabel_, text);
        fitLabelToText(progressLabel_);
    });
}

void WinUiHost::processPendingEvents() {
    // Work off the user-interface thread leaves that thread's loop running.
    if (isUiThread()) dispatchPendingMessages();
}

void WinUiHost::setProgressLabel(HWND label) { progressLabel_ = label; }

void WinUiHost::setStatusPanelHandler(std::function<void(const std::string&)> handler) {
    statusPanelHandler_ = std::move(handler);
}

}  // namespace dovrel::winui

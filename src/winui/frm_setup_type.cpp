#include "winui/frm_setup_type.h"

#include "core/localize.h"
#include "core/run_state.h"
#include "winui/win_text.h"
#include "winui/win_ui_host.h"

namespace dovrel::winui {

FrmSetupType::FrmSetupType() : DialogWindow(layout::progressWindow(), WS_EX_TOOLWINDOW) {
    WinUiHost::instance().setProgressLabel(lblDesc());
    Form_Load();
}

FrmSetupType::~FrmSetupType() { WinUiHost::instance().setProgressLabel(nullptr); }

void FrmSetupType::Form_Load() {
    const std::string& face = runState().UiFontName;
    for (HWND label : {lblDesc(), lblTitle()}) {
        builtWindow().setFace(label, face);
        setWindowText(label, LocalizeText(windowTextUtf8(label)));
        builtWindow().fitToText(label);
    }
}

bool FrmSetupType::onMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
    // The close box hides the window (the start-up unloads it); Escape,
    // which the dialog manager turns into Cancel, does nothing.
    if (message == WM_CLOSE) ShowWindow(handle(), SW_HIDE);
    if (message == WM_CLOSE || (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL)) {
        result = TRUE;
        return true;
    }
    return false;
}

}  // namespace dovrel::winui

// The settings window's controls, focus behaviour, key preview and load
// sequence. The commands are in frm_dovrel_commands.cpp.
#include "winui/frm_dovrel.h"

#include <commctrl.h>

#include "core/busy.h"
#include "core/command_errors.h"
#include "core/localize.h"
#include "core/run_state.h"
#include "winui/combo_box.h"
#include "winui/win_text.h"
#include "winui/win_ui_host.h"

namespace dovrel::winui {
namespace {

// Posted by Form_KeyDown: one Tab stroke, handled after the Enter itself.
constexpr UINT kTabStroke = WM_APP + 10;
// Posted by the focus handlers: select the box's text again once a mouse
// click that brought the focus has placed the caret.
constexpr UINT kSelectAgain = WM_APP + 11;

int shiftState() {
    int shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= 1;
    if (GetKeyState(VK_CONTROL) < 0) shift |= 2;
    if (GetKeyState(VK_MENU) < 0) shift |= 4;
    return shift;
}

void selectWholeText(HWND box) {
    wchar_t className[16] = {};
    GetClassNameW(box, className, 16);
    if (lstrcmpiW(className, WC_COMBOBOXW) == 0)
        SendMessageW(box, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    else
        SendMessageW(box, EM_SETSEL, 0, -1);
}

bool isMultiLineEdit(HWND window) {
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    return lstrcmpiW(className, WC_EDITW) == 0 && (GetWindowLongW(window, GWL_STYLE) & ES_MULTILINE) != 0;
}

}  // namespace

FrmDovrel::FrmDovrel() : DialogWindow(layout::settingsWindow(), 0) {
    // Panel 1 of the status bar shows the busy and ready texts while the
    // window exists.
    WinUiHost::instance().setStatusPanelHandler([bar = stbMain()](const std::string& text) {
        SendMessageW(bar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(wide(text).c_str()));
    });
    Form_Load();
}

FrmDovrel::~FrmDovrel() { WinUiHost::instance().setStatusPanelHandler({}); }

void FrmDovrel::showModal(HWND owner) {
    const bool ownerWasEnabled = owner != nullptr && IsWindowEnabled(owner);
    if (ownerWasEnabled) EnableWindow(owner, FALSE);
    show();
    SetForegroundWindow(handle());
    SendMessageW(handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(cmb_Server()), TRUE);
    MSG message;
    while (!closed_) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));  // for the program's own loop
            break;
        }
        if (got == -1) break;
        handleMessage(message);
    }
    // The owner comes back before this window goes, so that it, not some
    // other program, becomes the active window.
    if (ownerWasEnabled) EnableWindow(owner, TRUE);
    ShowWindow(handle(), SW_HIDE);
}

void FrmDovrel::close() {
    closed_ = true;
    ShowWindow(handle(), SW_HIDE);
}

bool FrmDovrel::previewMessage(MSG& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
    // The key preview: the window sees every key press before its control.
    Form_KeyDown(static_cast<int>(message.wParam), shiftState());
    if (message.wParam != VK_RETURN) return false;
    // Enter reaches the focused control itself, never the dialog manager,
    // which would press a button with it. Only the multi-line result box
    // takes its character (a new line); a one-line box would beep at it.
    if (isMultiLineEdit(message.hwnd)) TranslateMessage(&message);
    DispatchMessageW(&message);
    return true;
}

bool FrmDovrel::onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (message) {
    case WM_COMMAND:
        // Cancel is the dialog manager's answer to Escape: the window has
        // no cancel button, and Escape does not close it. Enter never gets there.
        if (lParam == 0 && (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK)) {
            result = TRUE;
            return true;
        }
        onCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
        result = TRUE;
        return true;
    case WM_CLOSE:
        // While a command's work is under way the window waits for it.
        if (IsWindowEnabled(handle())) close();
        result = TRUE;
        return true;
    case kTabStroke:
        SendMessageW(handle(), WM_NEXTDLGCTL, 0, FALSE);
        result = TRUE;
        return true;
    case kSelectAgain:
        if (GetFocus() == reinterpret_cast<HWND>(wParam) || IsChild(reinterpret_cast<HWND>(wParam), GetFocus()))
            selectWholeText(reinterpret_cast<HWND>(wParam));
        result = TRUE;
        return true;
    default: return false;
    }
}

void FrmDovrel::onCommand(HWND source, WORD code) {
    void (FrmDovrel::*handler)() = nullptr;
    if (code == BN_CLICKED) {
        if (source == cmdQuery()) handler = &FrmDovrel::cmdQuery_Click;
        if (source == cmdTest()) handler = &FrmDovrel::cmdTest_Click;
        if (source == cmdSave()) handler = &FrmDovrel::cmdSave_Click;
        if (source == cmdEncrypt()) handler = &FrmDovrel::cmdEncrypt_Click;
        if (source == cmdExit()) handler = &FrmDovrel::cmdExit_Click;
    } else if (code == EN_SETFOCUS && source == txt_User()) {
        handler = &FrmDovrel::txt_User_GotFocus;
    } else if (code == EN_SETFOCUS && source == txt_Password()) {
        handler = &FrmDovrel::txt_Password_GotFocus;
    } else if (code == CBN_SETFOCUS && source == cmb_Server()) {
        handler = &FrmDovrel::cmb_Server_GotFocus;
    }
    if (handler == nullptr) return;
    // The last line of defence: an error that escapes a command is shown
    // as "System Error!(n)…" and ends the busy state.
    try {
        (this->*handler)();
    } catch (...) {
        try {
            reportCommandError();
            EndBusy();
        } catch (...) {
            // Nothing is left to report with.
        }
    }
}

void FrmDovrel::Form_Load() { encryptNext_ = LoadSettingsWindow(*this); }

void FrmDovrel::addServerEntry(const std::string& server) {
    SendMessageW(cmb_Server(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(server).c_str()));
}

void FrmDovrel::showConnectionSettings(const ConnectionSettingsRecord& settings) {
    setWindowText(cmb_DataBase(), settings.DatabaseName);
    SetComboValue(cmb_Server(), settings.ServerName, combo_mode::TrimmedText, "-");
    if (SendMessageW(cmb_Server(), CB_GETCURSEL, 0, 0) == CB_ERR) setWindowText(cmb_Server(), settings.ServerName);
    setWindowText(txt_User(), settings.UserName);
    setWindowText(txt_Password(), settings.UserPassword);
}

void FrmDovrel::CopyControlsToSettings() { dovrel::CopyControlsToSettings(fields()); }

void FrmDovrel::LocalizeControls() {
    const std::string& face = runState().UiFontName;
    builtWindow().setWindowFace(face);
    setWindowText(handle(), LocalizeText(windowTextUtf8(handle())));
    // Every label and button, whatever holds it, as the table lists them.
    for (const auto& [control, window] : built().controls()) {
        if (!layout::takesDisplayFont(control->kind)) continue;
        setWindowText(window, LocalizeText(windowTextUtf8(window)));
        builtWindow().setFace(window, face);
        builtWindow().fitToText(window);
    }
}

void FrmDovrel::Form_KeyDown(int keyCode, int /*shift*/) {
    // One Tab stroke to the window, handled after the Enter itself has
    // reached the focused control.
    if (keyCode == VK_RETURN) PostMessageW(handle(), kTabStroke, 0, 0);
}

void FrmDovrel::txt_User_GotFocus() {
    selectWholeText(txt_User());
    PostMessageW(handle(), kSelectAgain, reinterpret_cast<WPARAM>(txt_User()), 0);
}

void FrmDovrel::txt_Password_GotFocus() {
    selectWholeText(txt_Password());
    PostMessageW(handle(), kSelectAgain, reinterpret_cast<WPARAM>(txt_Password()), 0);
}

void FrmDovrel::cmb_Server_GotFocus() {
    selectWholeText(cmb_Server());
    PostMessageW(handle(), kSelectAgain, reinterpret_cast<WPARAM>(cmb_Server()), 0);
}

void FrmDovrel::cmdExit_Click() { close(); }

}  // namespace dovrel::winui

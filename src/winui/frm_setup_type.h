#pragma once
// frmSetupType, the small progress window of the start-up: it says that
// the data connection is being configured, and its status line (lblDesc)
// shows the step of the server check under way. A tool window, so that the
// taskbar lists the settings window alone.
#include "winui/dialog_window.h"

namespace dovrel::winui {

class FrmSetupType : public DialogWindow {
public:
    // Creates the controls and runs Form_Load, as creating the window does.
    // The status line is registered with the host for the window's life.
    FrmSetupType();
    ~FrmSetupType() override;

    HWND lblDesc() const { return control("lblDesc"); }
    HWND lblTitle() const { return control("lblTitle"); }
    HWND Image1() const { return control("Image1"); }

    // The load step: the run's display font, then the captions converted.
    void Form_Load();

protected:
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
};

}  // namespace dovrel::winui

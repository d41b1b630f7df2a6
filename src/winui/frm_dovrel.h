#pragma once
// frmDovrel, the connection settings window: the server, database, login
// and password that the client workstations use, with the commands that
// list the databases, test the connection, save the settings and encrypt
// the credentials. Start-up shows it modally; closing it ends the program.
#include <string>
#include <vector>

#include "core/connection_fields.h"
#include "core/load_settings_window.h"
#include "winui/dialog_window.h"

namespace dovrel {
struct DatabaseListing;
struct Diagnosis;
}  // namespace dovrel

namespace dovrel::winui {

class FrmDovrel : public DialogWindow, private SettingsWindowControls {
public:
    // Creates the controls and runs Form_Load, as creating the window does.
    FrmDovrel();
    ~FrmDovrel() override;

    // The controls, by their names.
    HWND cmb_Server() const { return control("cmb_Server"); }
    HWND cmb_DataBase() const { return control("cmb_DataBase"); }
    HWND txt_User() const { return control("txt_User"); }
    HWND txt_Password() const { return control("txt_Password"); }
    HWND txt_Result() const { return control("txt_Result"); }
    HWND cmdQuery() const { return control("cmdQuery"); }
    HWND cmdEncrypt() const { return control("cmdEncrypt"); }
    HWND cmdTest() const { return control("cmdTest"); }
    HWND cmdSave() const { return control("cmdSave"); }
    HWND cmdExit() const { return control("cmdExit"); }
    HWND stbMain() const { return control("stbMain"); }

    // True when the next press of the encryption button encrypts.
    bool encryptNext() const { return encryptNext_; }
    // True once the window has been closed (Exit or the close box).
    bool closed() const { return closed_; }

    // Shows the window and runs its message loop until it is closed;
    // `owner`, the progress window, takes no input meanwhile.
    void showModal(HWND owner);

    // The window's procedures.
    void Form_Load();
    void CopyControlsToSettings();
    void LocalizeControls() override;
    void ShowDiagnosis() override;

    // Event handlers.
    void Form_KeyDown(int keyCode, int shift);
    void cmdQuery_Click();
    void cmdTest_Click();
    void cmdSave_Click();
    void cmdEncrypt_Click();
    void cmdExit_Click();
    void txt_User_GotFocus();
    void txt_Password_GotFocus();
    void cmb_Server_GotFocus();

protected:
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    bool previewMessage(MSG& message) override;

private:
    // The four connection controls as they stand, and the server box's list.
    ConnectionFields fields() const override;
    void addServerEntry(const std::string& server) override;
    void showConnectionSettings(const ConnectionSettingsRecord& settings) override;
    std::vector<std::string> serverList() const;
    // What a listing or a diagnosis brought back, into the controls.
    void displayListing(const DatabaseListing& listing);
    void displayDiagnosis(const Diagnosis& diagnosis);
    void setResultText(const std::string& text);
    void onCommand(HWND source, WORD code);
    void close();

    bool encryptNext_ = false;
    bool closed_ = false;
};

}  // namespace dovrel::winui

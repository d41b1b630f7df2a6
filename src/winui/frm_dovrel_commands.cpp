// The settings window's commands: each collects the controls' texts, runs
// its use case off the user-interface thread and shows what came back.
#include "core/busy.h"
#include "core/credentials.h"
#include "core/list_databases.h"
#include "core/localize.h"
#include "core/save_settings.h"
#include "core/test_connection.h"
#include "platform/messages.h"
#include "winui/combo_box.h"
#include "winui/frm_dovrel.h"
#include "winui/ui_thread.h"
#include "winui/win_text.h"

namespace dovrel::winui {

ConnectionFields FrmDovrel::fields() const {
    return {windowTextUtf8(cmb_Server()), windowTextUtf8(cmb_DataBase()), windowTextUtf8(txt_User()),
            windowTextUtf8(txt_Password())};
}

std::vector<std::string> FrmDovrel::serverList() const { return comboItems(cmb_Server()); }

void FrmDovrel::setResultText(const std::string& text) { setWindowText(txt_Result(), text); }

void FrmDovrel::displayListing(const DatabaseListing& listing) {
    if (!listing.pinged) return;
    SendMessageW(cmb_DataBase(), CB_RESETCONTENT, 0, 0);
    for (const std::string& name : listing.databases)
        SendMessageW(cmb_DataBase(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(name).c_str()));
    // The box shows the listing's text, not an entry of the list.
    setWindowText(cmb_DataBase(), listing.databaseText);
    if (!listing.failureLine.empty()) setResultText(listing.failureLine);
}

void FrmDovrel::displayDiagnosis(const Diagnosis& diagnosis) {
    if (diagnosis.listing) displayListing(*diagnosis.listing);
    setResultText(diagnosis.text);
}

void FrmDovrel::cmdQuery_Click() {
    const ConnectionFields current = fields();
    const std::vector<std::string> list = serverList();
    displayListing(runOffUiThread<DatabaseListing>(handle(), [&] { return ListDatabases(current, list); }));
}

void FrmDovrel::cmdTest_Click() {
    setResultText("");
    const ConnectionFields current = fields();
    const std::vector<std::string> list = serverList();
    displayDiagnosis(runOffUiThread<Diagnosis>(handle(), [&] { return TestConnection(current, list); }));
}

void FrmDovrel::ShowDiagnosis() {
    setResultText("");
    const ConnectionFields current = fields();
    const std::vector<std::string> list = serverList();
    displayDiagnosis(runOffUiThread<Diagnosis>(handle(), [&] { return dovrel::ShowDiagnosis(current, list); }));
}

void FrmDovrel::cmdSave_Click() { SaveFromWindow(fields(), !encryptNext_); }

void FrmDovrel::cmdEncrypt_Click() {
    const ConvertedCredentials converted =
        ConvertCredentials(windowTextUtf8(txt_User()), windowTextUtf8(txt_Password()), encryptNext_);
    setWindowText(txt_User(), converted.user);
    setWindowText(txt_Password(), converted.password);
    // The boxes keep the cipher text; the user learns that it will not
    // decrypt to the same login or password.
    if (!converted.warning.empty()) showMessage(converted.warning, MessageIcon::Exclamation);
    encryptNext_ = !encryptNext_;
    setWindowText(cmdEncrypt(), LocalizeText(encryptNext_ ? "加密连接字串" : "解密连接字串"));
}

}  // namespace dovrel::winui

// The settings window's commands: database listing, connection test and
// diagnosis, saving, and the encryption tool.
#include <array>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "cipher/cipher_text.h"
#include "core/busy.h"
#include "core/combo_select.h"
#include "core/build_connection_string.h"
#include "db/connection_string.h"
#include "core/localize.h"
#include "core/run_state.h"
#include "core/settings.h"
#include "net/ping.h"
#include "net/server_address.h"
#include "platform/messages.h"
#include "platform/runtime_error.h"
#include "platform/text.h"
#include "core/check_server.h"
#include "core/diagnosis.h"
#include "core/server_history.h"
#include "ui/frm_dovrel_errors.h"
#include "ui/frm_dovrel.h"

namespace dovrel::ui {
namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }
std::string ss(const QString& text) { return text.toStdString(); }

// The error of reading the record count of a listing that gave no result.
constexpr int kObjectNotSet = 91;

// The result box shows lines; the program composes them with "\r\n".
void setResultText(QPlainTextEdit& box, const std::string& text) {
    box.setPlainText(qs(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

}  // namespace

void FrmDovrel::cmdQuery_Click() {
    BeginBusy();
    try {
        listDatabases();
    } catch (...) {
        reportCommandError();
    }
    EndBusy();
}

void FrmDovrel::listDatabases() {
    RunState& state = runState();
    const std::string previous = state.ConnectionSettings.ServerName;
    const std::string savedDb = trimSpaces(ss(cmbDataBase_->currentText()));
    std::string server = trimSpaces(ss(cmbServer_->currentText()));
    const std::string address = ResolveServerAddress(server);
    if (!address.empty() && !PingHost(address)) {
        showMessage(LocalizeText("网络不通，请检查网络设置！"), MessageIcon::Information);
        return;
    }
    cmbDataBase_->clear();
    cmbDataBase_->clearEditText();
    CopyControlsToSettings();
    if (!TryConnect(BuildConnectionString(true), kProbeSql)) {
        setResultText(*txtResult_, LocalizeText("连接数据库") + "<" + ss(cmbDataBase_->currentText()) + ">失败");
        // The name the user typed is no casualty of a refused login.
        cmbDataBase_->setEditText(qs(savedDb));
        return;
    }
    state.ServerReachable = true;
    const auto listing = OpenRecordset(BuildConnectionString(true), "Select Name from SysDatabases order by Name");
    if (!listing) throw RuntimeError(kObjectNotSet, "Object variable or With block variable not set");
    if (listing->RecordCount() <= 0) {
        state.DatabaseExists = false;
    } else {
        for (; !listing->EOF_(); listing->MoveNext()) {
            cmbDataBase_->addItem(qs(listing->Fields(0).Value().value_or(std::string())));
        }
        // Filling the list selects its first entry; the box keeps the
        // name it had instead.
        cmbDataBase_->setCurrentIndex(-1);
        cmbDataBase_->setEditText(qs(savedDb));
    }
    std::vector<std::string> entries;
    for (int i = 0; i < cmbServer_->count(); ++i) entries.push_back(ss(cmbServer_->itemText(i)));
    WriteServerHistory(nextServerHistory(previous, trimSpaces(ss(cmbServer_->currentText())), entries));
}

void FrmDovrel::cmdTest_Click() {
    BeginBusy();
    txtResult_->clear();
    CopyControlsToSettings();
    CheckServerConnection(true);
    ShowDiagnosis();
    EndBusy();
}

void FrmDovrel::ShowDiagnosis() {
    txtResult_->clear();
    const RunState& state = runState();
    DiagnosisInput input;
    input.serverText = ss(cmbServer_->currentText());
    input.databaseTextBefore = ss(cmbDataBase_->currentText());
    input.serverReachable = state.ServerReachable;
    if (state.ServerReachable) cmdQuery_Click();
    input.databaseExists = state.DatabaseExists;
    input.databaseTextAfter = ss(cmbDataBase_->currentText());
    setResultText(*txtResult_, BuildDiagnosisText(input));
}

void FrmDovrel::cmdSave_Click() {
    BeginBusy();
    const std::array<std::pair<const char*, std::string>, 4> values = {{
        {"ServerName", trimSpaces(ss(cmbServer_->currentText()))},
        {"Database", trimSpaces(ss(cmbDataBase_->currentText()))},
        {"User", trimSpaces(ss(txtUser_->text()))},
        {"Password", ss(txtPassword_->text())},
    }};
    // Every value is written even when one fails; the failures are named.
    std::string failed;
    for (const auto& [name, value] : values) {
        const int32_t code = WriteSetting(kSettingsKey, name, value);
        if (code != 0) failed += (failed.empty() ? "" : ", ") + std::string(name) + " (" + std::to_string(code) + ")";
    }
    EndBusy();
    if (failed.empty()) {
        showMessage(LocalizeText("保存成功！"), MessageIcon::Information);
    } else {
        showMessage(LocalizeText("保存失败：") + failed, MessageIcon::Critical);
    }
}

void FrmDovrel::cmdEncrypt_Click() {
    const char* mode = encryptNext_ ? "E" : "D";
    const std::string user = trimSpaces(ss(txtUser_->text()));
    const std::string password = trimSpaces(ss(txtPassword_->text()));
    const std::string userOut = CipherText(mode, kCipherKey, user);
    txtUser_->setText(qs(userOut));
    const std::string passwordOut = CipherText(mode, kCipherKey, password);
    txtPassword_->setText(qs(passwordOut));
    if (encryptNext_) {
        // Some texts do not come back from the cipher as they went in: the
        // boxes keep the cipher text, and the user learns that it will not
        // decrypt to the same login or password.
        std::string warning;
        if (CipherText("D", kCipherKey, userOut) != user) warning += LocalizeText("用户名含有不能加密保存的字符，加密结果无法还原为原来的用户名！");
        if (CipherText("D", kCipherKey, passwordOut) != password) {
            if (!warning.empty()) warning += "\r\n";
            warning += LocalizeText("密码含有不能加密保存的字符，加密结果无法还原为原来的密码！");
        }
        if (!warning.empty()) showMessage(warning, MessageIcon::Exclamation);
    }
    encryptNext_ = !encryptNext_;
    cmdEncrypt_->setText(qs(LocalizeText(encryptNext_ ? "加密连接字串" : "解密连接字串")));
}

}  // namespace dovrel::ui

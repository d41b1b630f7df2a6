// The settings window's commands: each collects the controls' texts, runs
// its use case off the user-interface thread and shows what came back.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "core/busy.h"
#include "core/credentials.h"
#include "core/list_databases.h"
#include "core/localize.h"
#include "core/save_settings.h"
#include "core/test_connection.h"
#include "platform/messages.h"
#include "ui/frm_dovrel.h"
#include "ui/ui_thread.h"

namespace dovrel::ui {
namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }
std::string ss(const QString& text) { return text.toStdString(); }

// The result box shows lines; the program composes them with "\r\n".
void setResultText(QPlainTextEdit& box, const std::string& text) {
    box.setPlainText(qs(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

}  // namespace

ConnectionFields FrmDovrel::fields() const {
    return {ss(cmbServer_->currentText()), ss(cmbDataBase_->currentText()), ss(txtUser_->text()),
            ss(txtPassword_->text())};
}

std::vector<std::string> FrmDovrel::serverList() const {
    std::vector<std::string> entries;
    for (int i = 0; i < cmbServer_->count(); ++i) entries.push_back(ss(cmbServer_->itemText(i)));
    return entries;
}

void FrmDovrel::displayListing(const DatabaseListing& listing) {
    if (!listing.pinged) return;
    cmbDataBase_->clear();
    for (const std::string& name : listing.databases) cmbDataBase_->addItem(qs(name));
    // Filling the list selects its first entry; the box shows the listing's text instead.
    cmbDataBase_->setCurrentIndex(-1);
    cmbDataBase_->setEditText(qs(listing.databaseText));
    if (!listing.failureLine.empty()) setResultText(*txtResult_, listing.failureLine);
}

void FrmDovrel::displayDiagnosis(const Diagnosis& diagnosis) {
    if (diagnosis.listing) displayListing(*diagnosis.listing);
    setResultText(*txtResult_, diagnosis.text);
}

void FrmDovrel::cmdQuery_Click() {
    const ConnectionFields current = fields();
    const std::vector<std::string> list = serverList();
    displayListing(runOffUiThread<DatabaseListing>(this, [&] { return ListDatabases(current, list); }));
}

void FrmDovrel::cmdTest_Click() {
    txtResult_->clear();
    const ConnectionFields current = fields();
    const std::vector<std::string> list = serverList();
    displayDiagnosis(runOffUiThread<Diagnosis>(this, [&] { return TestConnection(current, list); }));
}

void FrmDovrel::ShowDiagnosis() {
    txtResult_->clear();
    const ConnectionFields current = fields();
    const std::vector<std::string> list = serverList();
    displayDiagnosis(runOffUiThread<Diagnosis>(this, [&] { return dovrel::ShowDiagnosis(current, list); }));
}

void FrmDovrel::cmdSave_Click() { SaveFromWindow(fields(), !encryptNext_); }

void FrmDovrel::cmdEncrypt_Click() {
    const ConvertedCredentials converted =
        ConvertCredentials(ss(txtUser_->text()), ss(txtPassword_->text()), encryptNext_);
    txtUser_->setText(qs(converted.user));
    txtPassword_->setText(qs(converted.password));
    // The boxes keep the cipher text; the user learns that it will not
    // decrypt to the same login or password.
    if (!converted.warning.empty()) showMessage(converted.warning, MessageIcon::Exclamation);
    encryptNext_ = !encryptNext_;
    cmdEncrypt_->setText(qs(LocalizeText(encryptNext_ ? "加密连接字串" : "解密连接字串")));
}

}  // namespace dovrel::ui

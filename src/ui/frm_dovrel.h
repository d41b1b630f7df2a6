#pragma once
// frmDovrel, the connection settings window: the server, database, login
// and password that the client workstations use, with the commands that
// list the databases, test the connection, save the settings and encrypt
// the credentials. Start-up shows it modally; closing it ends the program.
#include <QDialog>
#include <array>
#include <string>
#include <vector>

#include "core/connection_fields.h"
#include "core/load_settings_window.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;

namespace dovrel {
struct DatabaseListing;
struct Diagnosis;
}  // namespace dovrel

namespace dovrel::ui {

class FrmDovrel : public QDialog, private SettingsWindowControls {
    Q_OBJECT

public:
    // Creates the controls and runs Form_Load, as creating the window does.
    explicit FrmDovrel(QWidget* parent = nullptr);
    ~FrmDovrel() override;

    // The controls, by their names.
    QGroupBox* fra() const { return fra_; }
    QComboBox* cmb_Server() const { return cmbServer_; }
    QComboBox* cmb_DataBase() const { return cmbDataBase_; }
    QLineEdit* txt_User() const { return txtUser_; }
    QLineEdit* txt_Password() const { return txtPassword_; }
    QPlainTextEdit* txt_Result() const { return txtResult_; }
    QPushButton* cmdQuery() const { return cmdQuery_; }
    QPushButton* cmdEncrypt() const { return cmdEncrypt_; }
    QPushButton* cmdTest() const { return cmdTest_; }
    QPushButton* cmdSave() const { return cmdSave_; }
    QPushButton* cmdExit() const { return cmdExit_; }
    QLabel* Label1() const { return label1_; }
    QLabel* Image1() const { return image1_; }
    QLabel* picTop() const { return picTop_; }
    QLabel* lblTitle() const { return lblTitle_; }
    // The labels of the indexed group lblDesc(0) to lblDesc(4).
    QLabel* lblDesc(int index) const { return lblDesc_.at(static_cast<std::size_t>(index)); }
    QStatusBar* stbMain() const { return stbMain_; }
    // Panels 1 to 3 of the status bar, counting from 1.
    QLabel* stbPanel(int index) const { return stbPanels_.at(static_cast<std::size_t>(index - 1)); }

    // True when the next press of the encryption button encrypts.
    bool encryptNext() const { return encryptNext_; }

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
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The controls of the window's layout table, found by their names.
    void createControls();
    // The four connection controls as they stand, and the server box's list.
    ConnectionFields fields() const override;
    void addServerEntry(const std::string& server) override;
    void showConnectionSettings(const ConnectionSettingsRecord& settings) override;
    std::vector<std::string> serverList() const;
    // What a listing or a diagnosis brought back, into the controls.
    void displayListing(const DatabaseListing& listing);
    void displayDiagnosis(const Diagnosis& diagnosis);
    void bindEvents();
    // The key preview: every widget of the window passes its key presses
    // and focus entries through eventFilter first.
    void watchChildren();
    void selectWholeText(QLineEdit* box);

    QGroupBox* fra_ = nullptr;
    QComboBox* cmbServer_ = nullptr;
    QComboBox* cmbDataBase_ = nullptr;
    QPushButton* cmdQuery_ = nullptr;
    QPushButton* cmdEncrypt_ = nullptr;
    QLineEdit* txtPassword_ = nullptr;
    QLineEdit* txtUser_ = nullptr;
    QLabel* label1_ = nullptr;
    QLabel* image1_ = nullptr;
    std::array<QLabel*, 5> lblDesc_{};
    QPushButton* cmdTest_ = nullptr;
    QPushButton* cmdSave_ = nullptr;
    QPlainTextEdit* txtResult_ = nullptr;
    QLabel* picTop_ = nullptr;
    QLabel* lblTitle_ = nullptr;
    QPushButton* cmdExit_ = nullptr;
    QStatusBar* stbMain_ = nullptr;
    std::array<QLabel*, 3> stbPanels_{};

    bool encryptNext_ = false;
};

}  // namespace dovrel::ui

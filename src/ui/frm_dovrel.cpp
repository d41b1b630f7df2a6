// The settings window's controls, their layout, focus order and event
// bindings, and its load sequence. The commands are in
// frm_dovrel_commands.cpp.
#include "ui/frm_dovrel.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QFontMetricsF>
#include <QScreen>
#include <QTextDocument>
#include <QStatusBar>

#include "core/window_layout.h"
#include "core/localize.h"
#include "core/run_state.h"
#include "ui/combo_box.h"
#include "ui/frm_dovrel_errors.h"
#include "ui/qt_ui_host.h"
#include "ui/layout_builder.h"

// Resources of a static library must be registered by name, outside any
// namespace.
static void registerDovrelResources() { Q_INIT_RESOURCE(dovrel); }

namespace dovrel::ui {
namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }
std::string ss(const QString& text) { return text.toStdString(); }

// The key code and shift state that the key-down handler takes.
int keyCodeOf(const QKeyEvent& event) {
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Backspace: return 8;
    default: return event.key() < 0x100 ? event.key() : 0;
    }
}

int shiftStateOf(const QKeyEvent& event) {
    int shift = 0;
    if (event.modifiers() & Qt::ShiftModifier) shift |= 1;
    if (event.modifiers() & Qt::ControlModifier) shift |= 2;
    if (event.modifiers() & Qt::AltModifier) shift |= 4;
    return shift;
}

}  // namespace

FrmDovrel::FrmDovrel(QWidget* parent) : QDialog(parent) {
    registerDovrelResources();
    createControls();
    // Panel 1 of the status bar shows the busy and ready texts while the
    // window exists.
    QtUiHost::instance().setStatusPanelHandler(
        [panel = stbPanels_[0]](const std::string& text) { panel->setText(QString::fromStdString(text)); });
    bindEvents();
    watchChildren();
    Form_Load();
}

FrmDovrel::~FrmDovrel() { QtUiHost::instance().setStatusPanelHandler({}); }

void FrmDovrel::createControls() {
    const layout::Window& table = layout::settingsWindow();
    const BuiltControls built = buildWindow(*this, table);
    setWindowIcon(QIcon(QStringLiteral(":/dovrel/dovrel_icon.xpm")));
    // A fixed dialog frame: no minimise, maximise or help button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    stbMain_ = built.as<QStatusBar>("stbMain");
    for (std::size_t i = 0; i < stbPanels_.size(); ++i)
        stbPanels_[i] = stbMain_->findChild<QLabel*>(QStringLiteral("stbMain_panel%1").arg(i + 1));
    fra_ = built.as<QGroupBox>("fra");
    cmbServer_ = built.as<QComboBox>("cmb_Server");
    cmbDataBase_ = built.as<QComboBox>("cmb_DataBase");
    cmdQuery_ = built.as<QPushButton>("cmdQuery");
    cmdEncrypt_ = built.as<QPushButton>("cmdEncrypt");
    txtPassword_ = built.as<QLineEdit>("txt_Password");
    txtUser_ = built.as<QLineEdit>("txt_User");
    label1_ = built.as<QLabel>("Label1");
    image1_ = built.as<QLabel>("Image1");
    for (std::size_t i = 0; i < lblDesc_.size(); ++i) lblDesc_[i] = built.as<QLabel>("lblDesc_" + std::to_string(i));
    cmdTest_ = built.as<QPushButton>("cmdTest");
    cmdSave_ = built.as<QPushButton>("cmdSave");
    txtResult_ = built.as<QPlainTextEdit>("txt_Result");
    picTop_ = built.as<QLabel>("picTop");
    lblTitle_ = built.as<QLabel>("lblTitle");
    cmdExit_ = built.as<QPushButton>("cmdExit");
    cmbServer_->setFocus(Qt::OtherFocusReason);
}

void FrmDovrel::bindEvents() {
    connect(cmdQuery_, &QPushButton::clicked, this, [this] { guardCommand([this] { cmdQuery_Click(); }); });
    connect(cmdTest_, &QPushButton::clicked, this, [this] { guardCommand([this] { cmdTest_Click(); }); });
    connect(cmdSave_, &QPushButton::clicked, this, [this] { guardCommand([this] { cmdSave_Click(); }); });
    connect(cmdEncrypt_, &QPushButton::clicked, this, [this] { guardCommand([this] { cmdEncrypt_Click(); }); });
    connect(cmdExit_, &QPushButton::clicked, this, [this] { guardCommand([this] { cmdExit_Click(); }); });
}

void FrmDovrel::watchChildren() {
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

bool FrmDovrel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        // Each key press once, on its way to the focused control (a key
        // that the control passes on to its parents comes by again).
        QWidget* focus = QApplication::focusWidget();
        if (watched == focus || (watched == this && focus == nullptr)) {
            const auto& key = static_cast<const QKeyEvent&>(*event);
            Form_KeyDown(keyCodeOf(key), shiftStateOf(key));
        }
    } else if (event->type() == QEvent::FocusIn) {
        void (FrmDovrel::*handler)() = nullptr;
        if (watched == txtUser_)
            handler = &FrmDovrel::txt_User_GotFocus;
        else if (watched == txtPassword_)
            handler = &FrmDovrel::txt_Password_GotFocus;
        else if (watched == cmbServer_ || watched == cmbServer_->lineEdit())
            handler = &FrmDovrel::cmb_Server_GotFocus;
        if (handler) {
            (this->*handler)();
            // A mouse click places the caret after the focus has come:
            // select again once the click has been handled.
            if (static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason) {
                QMetaObject::invokeMethod(this, handler, Qt::QueuedConnection);
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmDovrel::closeEvent(QCloseEvent* event) {
    // While a command's work is under way the window waits for it.
    if (!isEnabled()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void FrmDovrel::keyPressEvent(QKeyEvent* event) {
    // The window has no cancel button: Escape does not close it.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void FrmDovrel::Form_Load() { encryptNext_ = LoadSettingsWindow(*this); }

void FrmDovrel::addServerEntry(const std::string& server) { cmbServer_->addItem(qs(server)); }

void FrmDovrel::showConnectionSettings(const ConnectionSettingsRecord& settings) {
    cmbDataBase_->setEditText(qs(settings.DatabaseName));
    SetComboValue(*cmbServer_, settings.ServerName, combo_mode::TrimmedText, "-");
    if (cmbServer_->currentIndex() == -1) cmbServer_->setEditText(qs(settings.ServerName));
    txtUser_->setText(qs(settings.UserName));
    txtPassword_->setText(qs(settings.UserPassword));
}

void FrmDovrel::CopyControlsToSettings() { dovrel::CopyControlsToSettings(fields()); }

void FrmDovrel::LocalizeControls() {
    const QString fontName = qs(runState().UiFontName);
    const auto setFace = [&fontName](QWidget* widget) {
        QFont font = widget->font();
        font.setFamily(fontName);
        widget->setFont(font);
    };
    setFace(this);
    setWindowTitle(qs(LocalizeText(ss(windowTitle()))));
    // Every label and button, whatever holds it, as the table lists them.
    for (const layout::Control& control : layout::settingsWindow().controls) {
        if (!layout::takesDisplayFont(control.kind)) continue;
        auto* widget =
            findChild<QWidget*>(QString::fromUtf8(control.name.data(), static_cast<qsizetype>(control.name.size())));
        if (auto* button = qobject_cast<QPushButton*>(widget)) button->setText(qs(LocalizeText(ss(button->text()))));
        if (auto* label = qobject_cast<QLabel*>(widget)) label->setText(qs(LocalizeText(ss(label->text()))));
        setFace(widget);
        fitToText(*widget, control.kind);
    }
}

void FrmDovrel::Form_KeyDown(int keyCode, int /*shift*/) {
    if (keyCode == 13) {
        // One Tab stroke to the window, handled after the Enter itself has
        // reached the focused control.
        QCoreApplication::postEvent(this, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier));
    }
}

void FrmDovrel::txt_User_GotFocus() { selectWholeText(txtUser_); }
void FrmDovrel::txt_Password_GotFocus() { selectWholeText(txtPassword_); }
void FrmDovrel::cmb_Server_GotFocus() { selectWholeText(cmbServer_->lineEdit()); }

void FrmDovrel::selectWholeText(QLineEdit* box) { box->setSelection(0, static_cast<int>(box->text().length())); }

void FrmDovrel::cmdExit_Click() { close(); }

}  // namespace dovrel::ui

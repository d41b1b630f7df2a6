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

#include "core/busy.h"
#include "core/command_errors.h"
#include "core/localize.h"
#include "core/run_state.h"
#include "platform/text.h"
#include "core/server_history.h"
#include "ui/combo_box.h"
#include "ui/frm_dovrel_errors.h"
#include "ui/qt_ui_host.h"
#include "ui/twips.h"

// Resources of a static library must be registered by name, outside any
// namespace.
static void registerDovrelResources() { Q_INIT_RESOURCE(dovrel); }

namespace dovrel::ui {
namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }
std::string ss(const QString& text) { return text.toStdString(); }

// The design font of the window and of every control that has no font of
// its own: the Simplified Chinese system font at 9 points.
QFont designFont() {
    QFont font(QStringLiteral("宋体"));
    font.setPointSize(9);
    return font;
}

// A label that keeps its designed top-left corner (or, right-aligned, its
// top-right corner) and takes the size of its text, as an auto-sized label
// does.
void sizeToText(QLabel* label) {
    const QRect box = label->geometry();
    const QSize size = label->sizeHint();
    if (label->alignment() & Qt::AlignRight) {
        label->setGeometry(box.right() + 1 - size.width(), box.top(), size.width(), size.height());
    } else {
        label->setGeometry(box.left(), box.top(), size.width(), size.height());
    }
}

// A wrapping label keeps its width and, where the font in use needs more
// room per line than the design font, grows to show all of its lines.
void fitWrappedText(QLabel* label) {
    label->resize(label->width(), std::max(label->height(), label->heightForWidth(label->width())));
}

// Names a control, gives it the design font and puts it in its place.
template <class Control>
Control* placed(Control* control, const char* name, const QRect& box) {
    control->setObjectName(QLatin1String(name));
    control->setFont(designFont());
    control->setGeometry(box);
    return control;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption, const QRect& box,
                  Qt::Alignment alignment) {
    auto* label = placed(new QLabel(caption, parent), name, box);
    label->setAlignment(alignment | Qt::AlignTop);
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, const QRect& box) {
    auto* button = placed(new QPushButton(caption, parent), name, box);
    // A dialog's buttons would answer Enter in any box; here Enter moves on
    // to the next field and buttons are pressed by mouse, Space or mnemonic.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

QComboBox* makeCombo(QWidget* parent, const char* name, const QRect& box) {
    auto* combo = placed(new QComboBox(parent), name, box);
    combo->setEditable(true);
    // The list changes only when the program fills it: no entry is added
    // on Enter, and typing is not completed from the list.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    return combo;
}

QLineEdit* makeTextBox(QWidget* parent, const char* name, const QRect& box) {
    return placed(new QLineEdit(parent), name, box);
}

QLabel* makePicture(QWidget* parent, const char* name, const QString& resource, const QRect& box) {
    auto* picture = placed(new QLabel(parent), name, box);
    picture->setPixmap(QPixmap(resource));
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return picture;
}

// The longest diagnosis: two result lines, an empty one, the advice heading
// and three causes.
constexpr int kLongestDiagnosisLines = 7;

// The result box. It makes the longest diagnosis fit without scrolling:
// first the margin above and below the text goes, then the font shrinks a
// little where the font in use is taller than the design font. (The box
// scrolls by whole lines, each as tall as the font's line spacing rounded up.)
class ResultTextBox : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

    void fitLines(int lines) {
        const auto fits = [&] {
            const int lineHeight = static_cast<int>(std::ceil(QFontMetricsF(font()).lineSpacing()));
            const int margin = 2 * static_cast<int>(document()->documentMargin());
            return lines * lineHeight + margin <= contentsRect().height();
        };
        if (!fits()) {
            document()->setDocumentMargin(0);
            setViewportMargins(2, 0, 0, 0);   // the text keeps off the left edge
        }
        QFont smaller = font();
        while (!fits() && smaller.pointSizeF() > 7) {
            smaller.setPointSizeF(smaller.pointSizeF() - 0.25);
            setFont(smaller);
        }
    }
};

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
    setTabOrder();
    bindEvents();
    watchChildren();
    Form_Load();
}

FrmDovrel::~FrmDovrel() { QtUiHost::instance().setStatusPanelHandler({}); }

void FrmDovrel::createControls() {
    setObjectName(QStringLiteral("frmDovrel"));
    setWindowTitle(QStringLiteral("数据库连接设置"));
    setWindowIcon(QIcon(QStringLiteral(":/dovrel/dovrel_icon.xpm")));
    setFont(designFont());
    // A fixed dialog frame: no minimise, maximise or help button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientSize);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }

    stbMain_ = new QStatusBar(this);
    stbMain_->setObjectName(QStringLiteral("stbMain"));
    stbMain_->setSizeGripEnabled(false);
    stbMain_->setGeometry(twips(0, 5415, 7485, 315));
    // Panels 2 and 3 keep their 1440 twips at the right end; panel 1 takes
    // what is left of its 5000 (the three would not fit the window side by side).
    const int panelWidth = twipsToPixels(1440);
    const int barWidth = stbMain_->width();
    const std::array<QRect, 3> panelBoxes = {
        QRect(0, 0, std::min(twipsToPixels(5000), barWidth - 2 * panelWidth), stbMain_->height()),
        QRect(barWidth - 2 * panelWidth, 0, panelWidth, stbMain_->height()),
        QRect(barWidth - panelWidth, 0, panelWidth, stbMain_->height())};
    for (std::size_t i = 0; i < stbPanels_.size(); ++i) {
        auto* panel = new QLabel(stbMain_);
        panel->setObjectName(QStringLiteral("stbMain_panel%1").arg(i + 1));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setGeometry(panelBoxes[i]);
        stbPanels_[i] = panel;
    }

    fra_ = placed(new QGroupBox(this), "fra", twips(90, 900, 7335, 2625));

    cmbServer_ = makeCombo(fra_, "cmb_Server", twips(1860, 980, 2745, 300));
    cmbDataBase_ = makeCombo(fra_, "cmb_DataBase", twips(1860, 2160, 2745, 300));
    cmdQuery_ = makeButton(fra_, "cmdQuery", QStringLiteral("..."), twips(4620, 990, 435, 285));
    cmdEncrypt_ = makeButton(fra_, "cmdEncrypt", QStringLiteral("加密连接字串"), twips(5310, 1350, 1455, 330));
    txtPassword_ = makeTextBox(fra_, "txt_Password", twips(1860, 1766, 2745, 300));
    txtPassword_->setEchoMode(QLineEdit::Password);
    txtUser_ = makeTextBox(fra_, "txt_User", twips(1860, 1373, 2745, 300));
    label1_ = makeLabel(fra_, "Label1",
                        QStringLiteral("设置以下连接参数，可以使客户机能够利用您设置的信息连接到数据服务器，"
                                       "一般情况下，您只要在安装完成后，进行正确的设置，您的系统就能顺利运行。"),
                        twips(990, 300, 6105, 585), Qt::AlignLeft);
    label1_->setWordWrap(true);
    image1_ = makePicture(fra_, "Image1", QStringLiteral(":/dovrel/connection_picture.xpm"),
                          twips(210, 270, 525, 540));
    const Qt::Alignment right = Qt::AlignRight;
    lblDesc_[3] = makeLabel(fra_, "lblDesc_3", QStringLiteral("密码(&P)"), twips(1170, 1830, 630, 180), right);
    lblDesc_[2] = makeLabel(fra_, "lblDesc_2", QStringLiteral("用户(&U)"), twips(1170, 1440, 630, 180), right);
    lblDesc_[1] = makeLabel(fra_, "lblDesc_1", QStringLiteral("数据库(&D)"), twips(990, 2190, 810, 180), right);
    lblDesc_[0] = makeLabel(fra_, "lblDesc_0", QStringLiteral("数据服务器(&S)"), twips(630, 1020, 1170, 180), right);

    cmdTest_ = makeButton(this, "cmdTest", QStringLiteral("测试(&A)"), twips(5940, 3870, 1455, 330));
    cmdSave_ = makeButton(this, "cmdSave", QStringLiteral("保存设置(&B)"), twips(5940, 4230, 1455, 330));

    auto* resultBox = new ResultTextBox(this);
    txtResult_ = resultBox;
    txtResult_->setObjectName(QStringLiteral("txt_Result"));
    QFont resultFont(QStringLiteral("MS Serif"));
    resultFont.setPointSizeF(9.75);
    resultFont.setWeight(QFont::Normal);
    txtResult_->setFont(resultFont);
    txtResult_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab leaves the box like every other field.
    txtResult_->setTabChangesFocus(true);
    txtResult_->setGeometry(twips(90, 3900, 5745, 1425));
    resultBox->fitLines(kLongestDiagnosisLines);

    picTop_ = makePicture(this, "picTop", QStringLiteral(":/dovrel/banner.xpm"), twips(0, 0, 7485, 885));
    picTop_->setFocusPolicy(Qt::StrongFocus);
    lblTitle_ = makeLabel(picTop_, "lblTitle", QStringLiteral("Ostrel人事考勤系统数据库连接设置"),
                          twips(150, 240, 6405, 435), Qt::AlignLeft);
    QFont titleFont = designFont();
    titleFont.setPointSize(18);
    titleFont.setWeight(QFont::Normal);
    lblTitle_->setFont(titleFont);
    QPalette titlePalette = lblTitle_->palette();
    titlePalette.setColor(QPalette::WindowText, titlePalette.color(QPalette::Highlight));
    lblTitle_->setPalette(titlePalette);

    cmdExit_ = makeButton(this, "cmdExit", QStringLiteral("退出(&X)"), twips(5940, 4980, 1455, 330));
    lblDesc_[4] = makeLabel(this, "lblDesc_4", QStringLiteral("结果输出窗口:"), twips(150, 3630, 1170, 180),
                            Qt::AlignLeft);

    lblDesc_[0]->setBuddy(cmbServer_);
    lblDesc_[1]->setBuddy(cmbDataBase_);
    lblDesc_[2]->setBuddy(txtUser_);
    lblDesc_[3]->setBuddy(txtPassword_);
    for (QLabel* label : lblDesc_) sizeToText(label);
    fitWrappedText(label1_);
}

void FrmDovrel::setTabOrder() {
    for (QWidget* passive : std::initializer_list<QWidget*>{fra_, stbMain_, label1_, image1_, lblTitle_}) {
        passive->setFocusPolicy(Qt::NoFocus);
    }
    for (QLabel* label : lblDesc_) label->setFocusPolicy(Qt::NoFocus);
    const std::array<QWidget*, 11> order = {cmbServer_,  cmdQuery_, txtUser_, txtPassword_, cmbDataBase_, cmdTest_,
                                            cmdSave_,    cmdEncrypt_, cmdExit_, picTop_,   txtResult_};
    for (std::size_t i = 0; i + 1 < order.size(); ++i) QWidget::setTabOrder(order[i], order[i + 1]);
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
        if (watched == txtUser_) handler = &FrmDovrel::txt_User_GotFocus;
        else if (watched == txtPassword_) handler = &FrmDovrel::txt_Password_GotFocus;
        else if (watched == cmbServer_ || watched == cmbServer_->lineEdit()) handler = &FrmDovrel::cmb_Server_GotFocus;
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

void FrmDovrel::Form_Load() {
    RunState& state = runState();
    const auto fillControls = [this, &state] {
        cmbDataBase_->setEditText(qs(state.ConnectionSettings.DatabaseName));
        SetComboValue(*cmbServer_, state.ConnectionSettings.ServerName, combo_mode::TrimmedText, "-");
        if (cmbServer_->currentIndex() == -1) cmbServer_->setEditText(qs(state.ConnectionSettings.ServerName));
        txtUser_->setText(qs(state.ConnectionSettings.UserName));
        txtPassword_->setText(qs(state.ConnectionSettings.UserPassword));
    };
    BeginBusy();
    try {
        for (const std::string& server : ReadServerHistory()) {
            if (!server.empty()) cmbServer_->addItem(qs(server));
        }
        fillControls();
        if (!state.ServerReachable) {
            // The boxes hold the clear login and password already: they
            // are taken back as they stand, not decrypted a second time.
            state.ConnectionSettings.DatabaseName = trimSpaces(ss(cmbDataBase_->currentText()));
            state.ConnectionSettings.UserName = trimSpaces(ss(txtUser_->text()));
            state.ConnectionSettings.UserPassword = trimSpaces(ss(txtPassword_->text()));
            fillControls();
        }
        ShowDiagnosis();
        LocalizeControls();
        encryptNext_ = true;
    } catch (...) {
        reportCommandError();
    }
    EndBusy();
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
    for (QPushButton* button : {cmdQuery_, cmdEncrypt_, cmdTest_, cmdSave_, cmdExit_}) {
        button->setText(qs(LocalizeText(ss(button->text()))));
        setFace(button);
    }
    for (QLabel* label : {label1_, lblDesc_[3], lblDesc_[2], lblDesc_[1], lblDesc_[0], lblTitle_, lblDesc_[4]}) {
        label->setText(qs(LocalizeText(ss(label->text()))));
        setFace(label);
    }
    for (QLabel* label : lblDesc_) sizeToText(label);
    fitWrappedText(label1_);
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

#include "ui/frm_setup_type.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>

#include "core/localize.h"
#include "core/run_state.h"
#include "ui/qt_ui_host.h"
#include "ui/taskbar.h"
#include "ui/layout_builder.h"

// Resources of a static library are registered by hand, outside any namespace.
static void registerSetupTypeResources() { Q_INIT_RESOURCE(setup_type); }

namespace dovrel::ui {
namespace {

QString qt(const std::string& text) { return QString::fromStdString(text); }
std::string utf8(const QString& text) { return text.toStdString(); }

void setFontFace(QLabel* label, const std::string& face) {
    QFont font = label->font();
    font.setFamily(qt(face));
    label->setFont(font);
}

}  // namespace

FrmSetupType::FrmSetupType(QWidget* parent) : QWidget(parent) {
    registerSetupTypeResources();
    createControls();
    QtUiHost::instance().setProgressLabel(lblDesc_);
    Form_Load();
    centreOnScreen();
}

void FrmSetupType::createControls() {
    const BuiltControls built = buildWindow(*this, layout::progressWindow());
    // A fixed dialog frame without minimise and maximise buttons, kept off
    // the taskbar.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    keepOutOfTaskbar(*this);
    lblDesc_ = built.as<QLabel>("lblDesc");
    lblTitle_ = built.as<QLabel>("lblTitle");
    image1_ = built.as<QLabel>("Image1");
}

void FrmSetupType::Form_Load() {
    const std::string& face = runState().UiFontName;
    setFontFace(lblDesc_, face);
    setFontFace(lblTitle_, face);
    lblDesc_->setText(qt(LocalizeText(utf8(lblDesc_->text()))));
    // The status line sizes itself to its text.
    lblDesc_->adjustSize();
    lblTitle_->setText(qt(LocalizeText(utf8(lblTitle_->text()))));
}

void FrmSetupType::centreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->geometry();
    move(area.center() - rect().center());
}

}  // namespace dovrel::ui

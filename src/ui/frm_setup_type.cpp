#include "ui/frm_setup_type.h"

#include "ui/taskbar.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>

#include "core/localize.h"
#include "core/run_state.h"
#include "ui/qt_ui_host.h"
#include "ui/twips.h"

// Resources of a static library are registered by hand, outside any namespace.
static void registerSetupTypeResources() { Q_INIT_RESOURCE(setup_type); }

namespace dovrel::ui {
namespace {

// The client area, 5715 x 1710 twips.
constexpr QSize kSetupClientSize{twipsToPixels(5715), twipsToPixels(1710)};

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
    setObjectName(QStringLiteral("frmSetupType"));
    setWindowTitle(QStringLiteral("Installshield Wizard"));
    // A fixed dialog frame without minimise and maximise buttons, kept off
    // the taskbar.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kSetupClientSize);
    keepOutOfTaskbar(*this);

    lblDesc_ = new QLabel(QStringLiteral("正在更新系统...."), this);
    lblDesc_->setObjectName(QStringLiteral("lblDesc"));
    lblDesc_->setGeometry(twips(870, 1170, 1350, 240));
    QFont descFont(QStringLiteral("MS Serif"));
    descFont.setPointSizeF(9.75);
    descFont.setWeight(QFont::Normal);
    lblDesc_->setFont(descFont);

    lblTitle_ = new QLabel(QStringLiteral("BrivaneOstrel人事考勤薪资系统的客户应用程序已经安装完成,"
                                          "系统正在为您配置数据连接服务,请等候。"),
                           this);
    lblTitle_->setObjectName(QStringLiteral("lblTitle"));
    lblTitle_->setGeometry(twips(870, 210, 4695, 525));
    lblTitle_->setWordWrap(true);
    lblTitle_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    image1_ = new QLabel(this);
    image1_->setObjectName(QStringLiteral("Image1"));
    image1_->setGeometry(twips(150, 120, 525, 540));
    image1_->setPixmap(QPixmap(QStringLiteral(":/dovrel/setup.xpm")));
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

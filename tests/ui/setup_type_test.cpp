// The progress window, the window system's host and message boxes, and the
// start-up sequence that shows them.
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>

#include "support/closed_port.h"
#include "core/run_state.h"
#include "core/settings.h"
#include "platform/codepage.h"
#include "platform/echo_transport.h"
#include "platform/messages.h"
#include "platform/text_converter.h"
#include "platform/ui_host.h"
#include "core/check_server.h"
#include "support/scoped_settings_file.h"
#include "ui/frm_setup_type.h"
#include "ui/main_sequence.h"
#include "ui/qt_message_sink.h"
#include "ui/qt_ui_host.h"
#include "core/settings_schema.h"
#include "support/test_doubles.h"

using namespace dovrel;
using dovrel::ui::FrmSetupType;
using dovrel::ui::QtUiHost;

namespace {

const QString kDescCaption = QStringLiteral("正在更新系统....");
const QString kTitleCaption =
    QStringLiteral("BrivaneOstrel人事考勤薪资系统的客户应用程序已经安装完成,系统正在为您配置数据连接服务,请等候。");

class MarkingConverter : public platform::TextConverter {
public:
    std::optional<std::string> convert(const std::string& text) override { return "[" + text + "]"; }
};

QLabel* label(const QWidget& window, const char* name) { return window.findChild<QLabel*>(QString::fromLatin1(name)); }

QWidget* topLevelNamed(const QString& name) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == name) return widget;
    }
    return nullptr;
}

// Answers the next message box by clicking `button`, keeping what it showed.
struct BoxAnswerer {
    void arm(QMessageBox::StandardButton button) {
        QTimer::singleShot(0, [this, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) return;
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            for (QAbstractButton* b : box->buttons()) buttons.append(box->standardButton(b));
            if (box->defaultButton() != nullptr) defaultButton = box->standardButton(box->defaultButton());
            box->button(button)->click();
        });
    }
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QMessageBox::StandardButton> buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

}  // namespace

class SetupTypeTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        resetRunState();
        runState().UiFontName = "宋体";
    }
    void cleanup() {
        resetRunState();
        while (QApplication::overrideCursor() != nullptr) QApplication::restoreOverrideCursor();
    }

    void windowIsAFixedToolWindowCentredOnTheScreen() {
        FrmSetupType window;
        QCOMPARE(window.objectName(), QStringLiteral("frmSetupType"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Installshield Wizard"));
        QCOMPARE(window.size(), QSize(381, 114));
        QCOMPARE(window.minimumSize(), QSize(381, 114));
        QCOMPARE(window.maximumSize(), QSize(381, 114));
        const Qt::WindowFlags flags = window.windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // Centred, give or take the frame the window manager adds.
        const QPoint screenCentre = QGuiApplication::primaryScreen()->geometry().center();
        const int frame =
            window.frameGeometry().width() - window.width() + window.frameGeometry().height() - window.height();
        QVERIFY((window.geometry().center() - screenCentre).manhattanLength() <= frame / 2 + 2);
    }

    void controlsStandWhereDesignedWithTheirFonts() {
        runState().UiFontName = "新細明體";
        FrmSetupType window;
        QLabel* desc = label(window, "lblDesc");
        QLabel* title = label(window, "lblTitle");
        QLabel* image = label(window, "Image1");
        QVERIFY(desc != nullptr && title != nullptr && image != nullptr);
        QCOMPARE(desc, window.lblDesc());
        // The status line keeps its place and sizes itself to its text.
        QCOMPARE(desc->pos(), QPoint(58, 78));
        QCOMPARE(desc->size(), desc->sizeHint());
        QCOMPARE(title->geometry(), QRect(58, 14, 313, 35));
        QVERIFY(title->wordWrap());
        QCOMPARE(image->geometry(), QRect(10, 8, 35, 36));

        QCOMPARE(desc->font().family(), QStringLiteral("新細明體"));
        QCOMPARE(desc->font().pointSizeF(), 9.75);
        QVERIFY(!desc->font().bold() && !desc->font().italic());
        QCOMPARE(title->font().family(), QStringLiteral("新細明體"));
        QCOMPARE(title->font().pointSizeF(), window.font().pointSizeF());
    }

    void pictureIsAComputerBoxAndDiscOnLightGrey() {
        FrmSetupType window;
        const QPixmap pixmap = window.Image1()->pixmap();
        QVERIFY(!pixmap.isNull());
        QCOMPARE(pixmap.size(), QSize(35, 36));
        const QImage image = pixmap.toImage();
        QCOMPARE(image.pixelColor(0, 0), QColor(0xC0, 0xC0, 0xC0));
        QCOMPARE(image.pixelColor(34, 35), QColor(0xC0, 0xC0, 0xC0));
        QCOMPARE(image.pixelColor(10, 8), QColor(0x00, 0x00, 0x80));   // the computer's screen
        QCOMPARE(image.pixelColor(25, 20), QColor(0xE0, 0x70, 0x20));  // the box's front
    }

    void captionsPassThroughTheConversion() {
        {
            FrmSetupType window;
            QCOMPARE(window.lblDesc()->text(), kDescCaption);
            QCOMPARE(window.lblTitle()->text(), kTitleCaption);
        }
        MarkingConverter converter;
        auto* previous = platform::seam<platform::TextConverter>().install(&converter);
        runState().UseBig5Conversion = 1;
        FrmSetupType window;
        platform::seam<platform::TextConverter>().install(previous);
        QCOMPARE(window.lblDesc()->text(), "[" + kDescCaption + "]");
        QCOMPARE(window.lblTitle()->text(), "[" + kTitleCaption + "]");
        QCOMPARE(window.windowTitle(), QStringLiteral("Installshield Wizard"));
    }

    void statusLineShowsTheCheckSteps() {
        const platform::ScopedOverride<UiHost> host(QtUiHost::instance());
        RecordingMessageSink messages;
        const platform::ScopedOverride<MessageSink> scopedMessages(messages);
        platform::ScriptedEchoTransport echoes;
        echoes.script = {platform::scriptedSilence()};
        const platform::ScopedOverride<platform::EchoTransport> scopedEchoes(echoes);

        auto window = std::make_unique<FrmSetupType>();
        uiHost().setProgressText("正在检查数据服务器上的数据库...");
        QCOMPARE(window->lblDesc()->text(), QStringLiteral("正在检查数据服务器上的数据库..."));
        QCOMPARE(window->lblDesc()->size(), window->lblDesc()->sizeHint());
        QVERIFY(window->lblDesc()->width() > 90);

        runState().ConnectionSettings.ServerName = "10.1.2.3";
        CheckServerConnection(true);
        QCOMPARE(window->lblDesc()->text(), QStringLiteral("正在连接服务器..."));
        QCOMPARE(messages.shown.size(), std::size_t{1});

        // Once the window is gone the status texts go nowhere.
        window.reset();
        uiHost().setProgressText("x");
        CheckServerConnection(false);
        QCOMPARE(messages.shown.size(), std::size_t{2});
    }

    void busyPointerIsSetOnceAndFullyRestored() {
        QtUiHost& host = QtUiHost::instance();
        host.setBusyPointer(true);
        host.setBusyPointer(true);
        QVERIFY(QApplication::overrideCursor() != nullptr);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QApplication::restoreOverrideCursor();
        QVERIFY(QApplication::overrideCursor() == nullptr);

        QApplication::setOverrideCursor(Qt::CrossCursor);
        host.setBusyPointer(true);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        host.setBusyPointer(false);
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void statusPanelTextGoesToTheInstalledHandler() {
        QtUiHost& host = QtUiHost::instance();
        std::vector<std::string> shown;
        host.setStatusPanelHandler([&](const std::string& text) { shown.push_back(text); });
        host.setStatusPanelText("正在查询...");
        host.setStatusPanelHandler({});
        host.setStatusPanelText("lost");
        QCOMPARE(shown, std::vector<std::string>{"正在查询..."});
    }

    void messageBoxShowsTitleIconTextAndButtons() {
        ui::QtMessageSink sink;
        BoxAnswerer answerer;
        answerer.arm(QMessageBox::Ok);
        QCOMPARE(
            sink.show(Message{"网络不通，请检查网络设置！", MessageIcon::Information, MessageButtons::Ok, kAppTitle}),
            MessageAnswer::Ok);
        QCOMPARE(answerer.title, QStringLiteral("Dovrel"));
        QCOMPARE(answerer.text, QStringLiteral("网络不通，请检查网络设置！"));
        QCOMPARE(answerer.icon, QMessageBox::Information);
        QCOMPARE(answerer.buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});

        BoxAnswerer question;
        question.arm(QMessageBox::No);
        QCOMPARE(sink.show(Message{"?", MessageIcon::Question, MessageButtons::YesNoCancel, "T"}), MessageAnswer::No);
        QCOMPARE(question.icon, QMessageBox::Question);
        QCOMPARE(question.buttons.size(), 3);
        QCOMPARE(question.defaultButton, QMessageBox::Yes);

        BoxAnswerer retry;
        retry.arm(QMessageBox::Cancel);
        QCOMPARE(sink.show(Message{"!", MessageIcon::Exclamation, MessageButtons::RetryCancel, "T"}),
                 MessageAnswer::Cancel);
        QCOMPARE(retry.icon, QMessageBox::Warning);
    }

    void mainShowsTheProgressWindowUntilTheSettingsWindowCloses() {
        test::ScopedSettingsFile store;
        platform::overrideCodePages(platform::CodePages{936, 936});
        WriteSetting(kSettingsKey, "ServerName", "127.0.0.1," + std::to_string(test::closedLoopbackPort()));
        platform::ScriptedEchoTransport echoes;  // the loopback address answers
        const platform::ScopedOverride<platform::EchoTransport> scopedEchoes(echoes);

        bool stepRan = false;
        QString statusLine;
        bool progressVisible = false;
        bool busy = false;
        ui::Main([&] {
            stepRan = true;
            auto* progress = qobject_cast<FrmSetupType*>(topLevelNamed(QStringLiteral("frmSetupType")));
            if (progress != nullptr) {
                progressVisible = progress->isVisible();
                statusLine = progress->lblDesc()->text();
            }
            busy =
                QApplication::overrideCursor() != nullptr && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        });
        platform::overrideCodePages(std::nullopt);

        QVERIFY(stepRan);
        QVERIFY(progressVisible);
        QCOMPARE(statusLine, QStringLiteral("正在连接服务器..."));  // the probe found no server
        QVERIFY(busy);
        QCOMPARE(runState().UiFontName, std::string("宋体"));
        QVERIFY(!runState().ServerReachable && !runState().DatabaseExists);
        QCOMPARE(runState().ConnectionSettings.DatabaseName, std::string("TovixHR"));
        QCOMPARE(echoes.requests.size(), std::size_t{1});
        // Unloaded and restored afterwards.
        QVERIFY(topLevelNamed(QStringLiteral("frmSetupType")) == nullptr);
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QVERIFY(&uiHost() != &QtUiHost::instance());
    }
};

QTEST_MAIN(SetupTypeTest)
#include "setup_type_test.moc"

// The settings window inside the start-up sequence: Exit and the close box
// end Main, which then unloads the progress window and restores the pointer.
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "cipher/cipher_text.h"
#include "core/settings.h"
#include "platform/codepage.h"
#include "ui/frm_dovrel.h"
#include "ui/frm_dovrel_fixture.h"
#include "ui/frm_dovrel_modal.h"
#include "ui/main_sequence.h"
#include "core/settings_schema.h"

using dovrel::ui::FrmDovrel;

namespace {

// Waits for the settings window to be shown, hands it to `act`, and closes
// any message box that would otherwise hold the test up.
class WindowDriver : public QObject {
public:
    explicit WindowDriver(std::function<void(FrmDovrel&)> act) : act_(std::move(act)) {
        connect(&timer_, &QTimer::timeout, this, [this] { poll(); });
        timer_.start(20);
    }
    bool acted = false;
    // The window was still open a while after `act`: closed by force.
    bool stayedOpen = false;
    QStringList unexpectedMessages;
    QString userBox;

private:
    void poll() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
                unexpectedMessages << box->text();
                box->done(QMessageBox::Ok);
            }
            auto* window = qobject_cast<FrmDovrel*>(widget);
            if (window && window->isVisible() && !acted) {
                acted = true;
                userBox = window->txt_User()->text();
                act_(*window);
            } else if (window && window->isVisible() && ++pollsSinceAct_ > 100) {
                stayedOpen = true;
                window->done(0);
            }
        }
    }
    std::function<void(FrmDovrel&)> act_;
    QTimer timer_;
    int pollsSinceAct_ = 0;
};

// A store whose server nobody answers on, with encrypted credentials.
void prepareStore() {
    const std::string server = "localhost," + std::to_string(dovrel::test::closedLoopbackPort());
    dovrel::WriteSetting(dovrel::kSettingsKey, "ServerName", server);
    dovrel::WriteSetting(dovrel::kSettingsKey, "DataBase", "TovixHR");
    dovrel::WriteSetting(dovrel::kSettingsKey, "User", dovrel::CipherText("E", dovrel::kCipherKey, "sa"));
    dovrel::WriteSetting(dovrel::kSettingsKey, "Password", dovrel::CipherText("E", dovrel::kCipherKey, "pw"));
}

bool anyWindowVisible() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible()) return true;
    }
    return false;
}

}  // namespace

class FrmDovrelExitTest : public QObject {
    Q_OBJECT

private slots:
    void exitButtonEndsMain();
    void closeBoxEndsMain();
    void aStoreThatCannotBeReadIsToldThenTheWindowOpens();
};

void FrmDovrelExitTest::exitButtonEndsMain() {
    dovrel::test::WindowEnvironment env;
    prepareStore();
    const auto storedUser = env.store.value("User");
    WindowDriver driver([](FrmDovrel& window) {
        window.txt_User()->setText(QStringLiteral("changed"));
        window.cmdExit()->click();
    });
    dovrel::ui::Main(dovrel::ui::ShowSettingsWindowModal);
    QVERIFY(driver.acted);
    QVERIFY(!driver.stayedOpen);
    QCOMPARE(driver.userBox, QStringLiteral("sa"));
    QVERIFY2(driver.unexpectedMessages.isEmpty(), qPrintable(driver.unexpectedMessages.join('\n')));
    QVERIFY(!anyWindowVisible());
    QVERIFY(QApplication::overrideCursor() == nullptr);
    // Nothing was saved.
    QCOMPARE(env.store.value("User"), storedUser);
}

void FrmDovrelExitTest::closeBoxEndsMain() {
    dovrel::test::WindowEnvironment env;
    prepareStore();
    WindowDriver driver([](FrmDovrel& window) { window.close(); });
    dovrel::ui::Main(dovrel::ui::ShowSettingsWindowModal);
    QVERIFY(driver.acted);
    QVERIFY(!driver.stayedOpen);
    QVERIFY(!anyWindowVisible());
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void FrmDovrelExitTest::aStoreThatCannotBeReadIsToldThenTheWindowOpens() {
    dovrel::test::WindowEnvironment env;
    const std::string damaged = "[SoftWare\\Tovix\\HR]\n\"ServerName\"=\"PC1\" trailing\n";
    env.store.setContents(damaged);
    dovrel::platform::overrideCodePages(dovrel::platform::CodePages{936, 936});  // the texts as written
    WindowDriver driver([](FrmDovrel& window) { window.cmdExit()->click(); });
    dovrel::ui::Main(dovrel::ui::ShowSettingsWindowModal);
    dovrel::platform::overrideCodePages(std::nullopt);
    QVERIFY(driver.acted);
    QCOMPARE(driver.unexpectedMessages.size(), 1);
    QVERIFY(driver.unexpectedMessages[0].startsWith(QStringLiteral("无法读取连接设置")));
    QVERIFY(driver.unexpectedMessages[0].contains(dovrel::test::q(env.store.path())));
    QVERIFY(driver.unexpectedMessages[0].contains(QStringLiteral("line 2")));
    QCOMPARE(env.store.contents(), damaged);
}

QTEST_MAIN(FrmDovrelExitTest)
#include "frm_dovrel_exit_test.moc"

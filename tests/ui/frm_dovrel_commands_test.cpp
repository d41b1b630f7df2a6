// The settings window's load sequence and commands against the stand-in
// server: database listing and server history, the connection test and
// its diagnosis, saving, and the encryption tool.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "cipher/cipher_text.h"
#include "core/settings.h"
#include "platform/settings_file.h"
#include "platform/echo_transport.h"
#include "support/silent_server.h"
#include "support/standin_server.h"
#include "ui/frm_dovrel.h"
#include "ui/frm_dovrel_fixture.h"
#include "core/settings_schema.h"
#include "support/test_doubles.h"

using dovrel::MessageIcon;
using dovrel::runState;
using dovrel::test::q;
using dovrel::test::WindowEnvironment;
using dovrel::test::withCrLf;
using dovrel::ui::FrmDovrel;

namespace {

const QString kServerOk = QStringLiteral("连接数据服务器<%1>： 成功！");
const QString kServerFail = QStringLiteral("连接数据服务器<%1>： 失败！");
const QString kDatabaseOk = QStringLiteral("连接数据库<%1>： 成功！");
const QString kDatabaseFail = QStringLiteral("连接数据库<%1>： 失败！");
const QString kAdviceHeading = QStringLiteral("请检查以下可能的失败原因或重新设置：");
const QString kServerAdvice = QStringLiteral(
    "    服务器是否在线；\r\n    服务器上的SQL SERVER服务是否启动；\r\n"
    "    用户和密码是否输入正确；");
const QString kMissingDatabase = QStringLiteral("    服务器上数据库：%1不存在，您可通过[创建数据库]按钮进行创建！");

std::string decrypted(const std::optional<std::string>& stored) {
    return stored ? dovrel::CipherText("D", dovrel::kCipherKey, *stored) : "(missing)";
}

QStringList items(const QComboBox& combo) {
    QStringList list;
    for (int i = 0; i < combo.count(); ++i) list << combo.itemText(i);
    return list;
}

// Fails every write of one value name with a given code; everything else
// goes to the test's settings file.
class FailingWrites : public dovrel::platform::SettingsBackend {
public:
    FailingWrites(std::string path, std::string failingName, int32_t code)
        : file_(std::move(path)), failingName_(std::move(failingName)), code_(code) {}
    int32_t createKey(std::string_view keyPath) override { return file_.createKey(keyPath); }
    int32_t queryValue(std::string_view keyPath, std::string_view name, std::optional<std::string>& value) override {
        return file_.queryValue(keyPath, name, value);
    }
    int32_t setValue(std::string_view keyPath, std::string_view name, std::string_view value) override {
        if (name == failingName_) return code_;
        return file_.setValue(keyPath, name, value);
    }

private:
    dovrel::platform::FileSettingsBackend file_;
    std::string failingName_;
    int32_t code_;
};

}  // namespace

class FrmDovrelCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void loadWithTheServerReachable();
    void loadWithTheServerUnreachable();
    void testButtonDiagnosisLayouts();
    void diagnosisWithoutListing();
    void listingRewritesTheHistory();
    void listingWithAWrongPasswordKeepsTheTypedName();
    void saveWritesTheFourValues();
    void saveReportsAFailedWrite();
    void encryptThenDecryptRestoresTheBoxes();
    void encryptWarnsWhenATextCannotComeBack();
    void aServerThatNeverAnswersLeavesTheWindowAlive();
    void aFailedPingAfterASuccessReadsAsAFailure();

private:
    // The run state as start-up leaves it after a successful check.
    void reachableSettings(const std::string& database = "TovixHR");
    // The databases of the stand-in, in the listing's order.
    QStringList serverDatabases() const;

    dovrel::test::StandinServer server_;
    QString serverName_;
};

void FrmDovrelCommandsTest::initTestCase() {
    QVERIFY2(server_.start(), server_.lastError().c_str());
    for (const char* name : {"TovixHR", "Alpha", "zeta"}) {
        const auto run = server_.runSql(std::string("CREATE DATABASE ") + name);
        QVERIFY2(run.ok(), run.errors.c_str());
    }
    serverName_ = q(server_.serverName());
}

void FrmDovrelCommandsTest::reachableSettings(const std::string& database) {
    runState().ConnectionSettings = {server_.serverName(), database, "sa", "Secret#1"};
    runState().ServerReachable = true;
    runState().DatabaseExists = true;
}

QStringList FrmDovrelCommandsTest::serverDatabases() const {
    const auto run = server_.runSql("Select Name from SysDatabases order by Name");
    QStringList names = q(run.output).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (QString& name : names) name = name.trimmed();
    return names;
}

void FrmDovrelCommandsTest::loadWithTheServerReachable() {
    WindowEnvironment env;
    env.store.setContents("");
    dovrel::WriteSetting(dovrel::kSettingsKey, "FirstServer", "OLDSRV");
    dovrel::WriteSetting(dovrel::kSettingsKey, "ThirdServer", "other");
    reachableSettings();
    FrmDovrel w;

    QCOMPARE(items(*w.cmb_Server()), QStringList({QStringLiteral("OLDSRV"), QStringLiteral("other")}));
    QCOMPARE(w.cmb_Server()->currentText(), serverName_);
    QCOMPARE(w.cmb_Server()->currentIndex(), -1);
    // The listing filled the database list in name order and kept the name.
    const QStringList databases = items(*w.cmb_DataBase());
    QCOMPARE(databases, serverDatabases());
    QVERIFY(databases.contains(QStringLiteral("Alpha")) && databases.contains(QStringLiteral("zeta")));
    QStringList sorted = databases;
    std::sort(sorted.begin(), sorted.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    QCOMPARE(databases, sorted);
    QCOMPARE(w.cmb_DataBase()->currentText(), QStringLiteral("TovixHR"));
    QCOMPARE(withCrLf(w.txt_Result()->toPlainText()),
             kServerOk.arg(serverName_) + "\r\n" + kDatabaseOk.arg(QStringLiteral("TovixHR")));
    QCOMPARE(w.txt_User()->text(), QStringLiteral("sa"));
    QCOMPARE(w.txt_Password()->text(), QStringLiteral("Secret#1"));
    // The listing recorded the server first, the other entries behind it.
    QCOMPARE(env.store.value("FirstServer"), std::optional<std::string>(server_.serverName()));
    QCOMPARE(env.store.value("SecondServer"), std::optional<std::string>("OLDSRV"));
    QCOMPARE(env.store.value("ThirdServer"), std::optional<std::string>("other"));
    QCOMPARE(env.store.value("FourthServer"), std::optional<std::string>(""));
    QCOMPARE(w.stbPanel(1)->text(), QStringLiteral("就绪..."));
    QVERIFY(w.encryptNext());
    QVERIFY(env.messages.shown.empty());
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void FrmDovrelCommandsTest::loadWithTheServerUnreachable() {
    WindowEnvironment env;
    const std::string closed = "127.0.0.1," + std::to_string(dovrel::test::closedLoopbackPort());
    dovrel::WriteSetting(dovrel::kSettingsKey, "FirstServer", "A");
    dovrel::WriteSetting(dovrel::kSettingsKey, "SecondServer", "");
    dovrel::WriteSetting(dovrel::kSettingsKey, "ThirdServer", "b");
    dovrel::WriteSetting(dovrel::kSettingsKey, "FourthServer", closed);
    runState().ConnectionSettings = {" " + closed + " ", "  TovixHR ", "sa", " pw "};
    runState().ServerReachable = false;
    FrmDovrel w;

    QCOMPARE(items(*w.cmb_Server()), QStringList({QStringLiteral("A"), QStringLiteral("b"), q(closed)}));
    // The stored name selects its history entry, spaces aside.
    QCOMPARE(w.cmb_Server()->currentIndex(), 2);
    QCOMPARE(w.cmb_Server()->currentText(), q(closed));
    // The boxes were read back trimmed, the login and password unchanged.
    QCOMPARE(w.cmb_DataBase()->currentText(), QStringLiteral("TovixHR"));
    QCOMPARE(w.txt_User()->text(), QStringLiteral("sa"));
    QCOMPARE(w.txt_Password()->text(), QStringLiteral("pw"));
    QCOMPARE(runState().ConnectionSettings.UserName, std::string("sa"));
    QCOMPARE(runState().ConnectionSettings.UserPassword, std::string("pw"));
    QCOMPARE(runState().ConnectionSettings.DatabaseName, std::string("TovixHR"));
    QCOMPARE(w.cmb_DataBase()->count(), 0);
    QCOMPARE(withCrLf(w.txt_Result()->toPlainText()), kServerFail.arg(q(closed)) + "\r\n" +
                                                          kDatabaseFail.arg(QStringLiteral("TovixHR")) + "\r\n\r\n" +
                                                          kAdviceHeading + "\r\n" + kServerAdvice);
    // No listing ran, so the history stands as it was.
    QCOMPARE(env.store.value("FirstServer"), std::optional<std::string>("A"));
    QCOMPARE(env.store.value("FourthServer"), std::optional<std::string>(closed));
    QVERIFY(env.messages.shown.empty());
}

void FrmDovrelCommandsTest::testButtonDiagnosisLayouts() {
    WindowEnvironment env;
    reachableSettings();
    FrmDovrel w;

    // Reachable, database present; the spaces around the server name show
    // in the brackets while the check uses the trimmed name.
    w.cmb_Server()->setEditText(" " + serverName_ + "  ");
    w.cmb_DataBase()->setEditText(QStringLiteral("tovixhr"));
    w.cmdTest()->click();
    QCOMPARE(withCrLf(w.txt_Result()->toPlainText()),
             kServerOk.arg(" " + serverName_ + "  ") + "\r\n" + kDatabaseOk.arg(QStringLiteral("tovixhr")));
    QCOMPARE(runState().ConnectionSettings.ServerName, server_.serverName());
    QVERIFY(runState().DatabaseExists);

    // Reachable, database missing.
    w.cmb_Server()->setEditText(serverName_);
    w.cmb_DataBase()->setEditText(QStringLiteral("NoSuchDb"));
    w.cmdTest()->click();
    QCOMPARE(withCrLf(w.txt_Result()->toPlainText()),
             kServerOk.arg(serverName_) + "\r\n" + kDatabaseFail.arg(QStringLiteral("NoSuchDb")) + "\r\n\r\n" +
                 kAdviceHeading + "\r\n" + kMissingDatabase.arg(QStringLiteral("NoSuchDb")));
    QCOMPARE(items(*w.cmb_DataBase()), serverDatabases());

    // Nothing listens on the port: both fail, the list stays as it was.
    const QString closed = QStringLiteral("127.0.0.1,%1").arg(dovrel::test::closedLoopbackPort());
    w.cmb_Server()->setEditText(closed);
    w.cmb_DataBase()->setEditText(QStringLiteral("TovixHR"));
    w.cmdTest()->click();
    QCOMPARE(withCrLf(w.txt_Result()->toPlainText()), kServerFail.arg(closed) + "\r\n" +
                                                          kDatabaseFail.arg(QStringLiteral("TovixHR")) + "\r\n\r\n" +
                                                          kAdviceHeading + "\r\n" + kServerAdvice);
    QCOMPARE(items(*w.cmb_DataBase()), serverDatabases());
    QVERIFY(!runState().ServerReachable);
    QCOMPARE(w.stbPanel(1)->text(), QStringLiteral("就绪..."));
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QVERIFY(env.messages.shown.empty());
}

void FrmDovrelCommandsTest::diagnosisWithoutListing() {
    WindowEnvironment env;
    const std::string closed = "127.0.0.1," + std::to_string(dovrel::test::closedLoopbackPort());
    runState().ConnectionSettings = {closed, "TovixHR", "sa", "x"};
    FrmDovrel w;
    // A check that stopped at the ping leaves the flags of the one before.
    runState().ServerReachable = false;
    runState().DatabaseExists = true;
    w.cmb_DataBase()->addItem(QStringLiteral("kept"));
    w.cmb_DataBase()->setEditText(QString());
    w.ShowDiagnosis();
    QCOMPARE(withCrLf(w.txt_Result()->toPlainText()), kServerFail.arg(q(closed)) + "\r\n" + kDatabaseOk.arg(QString()) +
                                                          "\r\n\r\n" + kAdviceHeading + "\r\n" + kServerAdvice);
    QCOMPARE(items(*w.cmb_DataBase()), QStringList({QStringLiteral("kept")}));
}

void FrmDovrelCommandsTest::listingRewritesTheHistory() {
    WindowEnvironment env;
    const std::string c = server_.serverName();
    dovrel::WriteSetting(dovrel::kSettingsKey, "FirstServer", "A");
    dovrel::WriteSetting(dovrel::kSettingsKey, "SecondServer", "B");
    dovrel::WriteSetting(dovrel::kSettingsKey, "ThirdServer", c);
    dovrel::WriteSetting(dovrel::kSettingsKey, "FourthServer", "D");
    // Start-up found B unreachable; the user then lists C.
    runState().ConnectionSettings = {"B", "TovixHR", "sa", "Secret#1"};
    FrmDovrel w;
    QCOMPARE(w.cmb_Server()->currentText(), QStringLiteral("B"));
    w.cmb_Server()->setEditText(serverName_);
    w.cmdQuery()->click();
    QCOMPARE(env.store.value("FirstServer"), std::optional<std::string>(c));
    QCOMPARE(env.store.value("SecondServer"), std::optional<std::string>("B"));
    QCOMPARE(env.store.value("ThirdServer"), std::optional<std::string>("A"));
    QCOMPARE(env.store.value("FourthServer"), std::optional<std::string>("D"));
    QVERIFY(runState().ServerReachable);
    QCOMPARE(runState().ConnectionSettings.ServerName, c);
    // The list of the server box changes only at the next start.
    QCOMPARE(items(*w.cmb_Server()), QStringList({"A", "B", serverName_, "D"}));
    QCOMPARE(items(*w.cmb_DataBase()), serverDatabases());
    QCOMPARE(w.cmb_DataBase()->currentText(), QStringLiteral("TovixHR"));
    QVERIFY(env.messages.shown.empty());
}

void FrmDovrelCommandsTest::listingWithAWrongPasswordKeepsTheTypedName() {
    WindowEnvironment env;
    runState().ConnectionSettings = {server_.serverName(), "TovixHR", "sa", "Secret#1"};
    FrmDovrel w;
    const auto historyBefore = env.store.value("FirstServer");
    w.txt_Password()->setText(QStringLiteral("wrong"));
    w.cmb_DataBase()->addItem(QStringLiteral("old"));
    w.cmb_DataBase()->setEditText(QStringLiteral("  MyDb "));
    w.cmdQuery()->click();
    // The failure line shows the emptied box; the typed name comes back.
    QCOMPARE(w.txt_Result()->toPlainText(), QStringLiteral("连接数据库<>失败"));
    QCOMPARE(w.cmb_DataBase()->currentText(), QStringLiteral("MyDb"));
    QCOMPARE(w.cmb_DataBase()->count(), 0);
    QVERIFY(!runState().ServerReachable);
    QCOMPARE(runState().ConnectionSettings.UserPassword, std::string("wrong"));
    QCOMPARE(env.store.value("FirstServer"), historyBefore);
    QVERIFY(env.messages.shown.empty());
    QCOMPARE(w.stbPanel(1)->text(), QStringLiteral("就绪..."));
}

void FrmDovrelCommandsTest::saveWritesTheFourValues() {
    WindowEnvironment env;
    runState().ConnectionSettings = {"localhost,1", "TovixHR", "sa", ""};
    FrmDovrel w;
    dovrel::WriteSetting(dovrel::kSettingsKey, "SecondServer", "B");
    w.cmb_Server()->setEditText(QStringLiteral("  srv\\inst "));
    w.cmb_DataBase()->setEditText(QStringLiteral(" 人事库 "));
    w.txt_User()->setText(QStringLiteral(" admin "));
    w.txt_Password()->setText(QStringLiteral(" p w "));
    w.cmdSave()->click();
    QCOMPARE(env.store.value("ServerName"), std::optional<std::string>("srv\\inst"));
    QCOMPARE(env.store.value("DataBase"), std::optional<std::string>("人事库"));
    // The credentials reach the store as cipher text, though the boxes show them in clear.
    QCOMPARE(decrypted(env.store.value("User")), std::string("admin"));
    QCOMPARE(decrypted(env.store.value("Password")), std::string(" p w "));
    QCOMPARE(w.txt_User()->text(), QStringLiteral(" admin "));
    QCOMPARE(env.messages.shown.size(), std::size_t{1});
    QCOMPARE(q(env.messages.shown[0].text), QStringLiteral("保存成功！"));
    QCOMPARE(env.messages.shown[0].icon, MessageIcon::Information);
    // The history and the run state stay as they were.
    QCOMPARE(env.store.value("FirstServer"), std::optional<std::string>(""));
    QCOMPARE(env.store.value("SecondServer"), std::optional<std::string>("B"));
    QCOMPARE(runState().ConnectionSettings.ServerName, std::string("localhost,1"));
    w.cmb_Server()->setEditText(QStringLiteral("localhost,1"));
    w.cmb_DataBase()->setEditText(QString());
    w.txt_User()->setText(QString());
    w.txt_Password()->setText(QString());
    w.cmdSave()->click();
    QCOMPARE(decrypted(env.store.value("Password")), std::string());
    QCOMPARE(runState().ConnectionSettings.DatabaseName, std::string("TovixHR"));
}

void FrmDovrelCommandsTest::saveReportsAFailedWrite() {
    WindowEnvironment env;
    runState().ConnectionSettings = {"localhost,1", "TovixHR", "sa", ""};
    FrmDovrel w;
    FailingWrites failing(env.store.path(), "Password", 5);
    dovrel::platform::SettingsBackend* previous = dovrel::platform::seam<dovrel::platform::SettingsBackend>().install(&failing);
    w.cmb_Server()->setEditText(QStringLiteral("srv"));
    w.txt_Password()->setText(QStringLiteral("secret"));
    w.cmdSave()->click();
    dovrel::platform::seam<dovrel::platform::SettingsBackend>().install(previous);
    QCOMPARE(env.messages.shown.size(), std::size_t{1});
    QCOMPARE(q(env.messages.shown[0].text), QStringLiteral("保存失败：Password (5 拒绝访问)"));
    QCOMPARE(env.messages.shown[0].icon, MessageIcon::Critical);
    // The other values were written all the same.
    QCOMPARE(env.store.value("ServerName"), std::optional<std::string>("srv"));
    QCOMPARE(decrypted(env.store.value("User")), std::string("sa"));
    QVERIFY(!env.store.value("Password").has_value());
    QCOMPARE(w.stbPanel(1)->text(), QStringLiteral("就绪..."));
}

void FrmDovrelCommandsTest::encryptThenDecryptRestoresTheBoxes() {
    WindowEnvironment env;
    runState().ConnectionSettings = {"localhost,1", "TovixHR", "sa", ""};
    FrmDovrel w;
    const std::string storeBefore = env.store.contents();
    w.txt_User()->setText(QStringLiteral("  sa "));
    w.txt_Password()->setText(QString());
    w.cmdEncrypt()->click();
    const QString user = w.txt_User()->text();
    const QString password = w.txt_Password()->text();
    QCOMPARE(user.size(), 2 + 2 * 2);
    QCOMPARE(password.size(), 2);
    QCOMPARE(dovrel::CipherText("D", dovrel::kCipherKey, user.toStdString()), std::string("sa"));
    QCOMPARE(w.cmdEncrypt()->text(), QStringLiteral("解密连接字串"));
    QVERIFY(!w.encryptNext());
    w.cmdEncrypt()->click();
    QCOMPARE(w.txt_User()->text(), QStringLiteral("sa"));
    QCOMPARE(w.txt_Password()->text(), QString());
    QCOMPARE(w.cmdEncrypt()->text(), QStringLiteral("加密连接字串"));
    QVERIFY(w.encryptNext());
    // No change to the run state or the store, and nothing to warn about.
    QCOMPARE(runState().ConnectionSettings.UserName, std::string("sa"));
    QCOMPARE(runState().ConnectionSettings.UserPassword, std::string());
    QCOMPARE(env.store.contents(), storeBefore);
    QVERIFY(env.messages.shown.empty());

    // Saving while encrypted stores the cipher texts.
    w.txt_Password()->setText(QStringLiteral("Secret#1"));
    w.cmdEncrypt()->click();
    w.cmdSave()->click();
    const auto stored = env.store.value("Password");
    QVERIFY(stored.has_value());
    QCOMPARE(dovrel::CipherText("D", dovrel::kCipherKey, *stored), std::string("Secret#1"));
    QCOMPARE(w.cmdEncrypt()->text(), QStringLiteral("解密连接字串"));
}

void FrmDovrelCommandsTest::encryptWarnsWhenATextCannotComeBack() {
    WindowEnvironment env;
    runState().ConnectionSettings = {"localhost,1", "TovixHR", "sa", ""};
    FrmDovrel w;
    w.txt_User()->setText(QStringLiteral("管理员"));
    w.txt_Password()->setText(QStringLiteral("fine"));
    w.cmdEncrypt()->click();
    QCOMPARE(env.messages.shown.size(), std::size_t{1});
    QVERIFY(q(env.messages.shown[0].text).startsWith(QStringLiteral("用户名")));
    QVERIFY(!q(env.messages.shown[0].text).contains(QStringLiteral("密码")));
    QCOMPARE(env.messages.shown[0].icon, MessageIcon::Exclamation);
    // The box still holds the cipher text, and the tool goes on as usual.
    QVERIFY(w.txt_User()->text() != QStringLiteral("管理员"));
    QVERIFY(!w.encryptNext());
    // Decrypting warns of nothing.
    w.cmdEncrypt()->click();
    QCOMPARE(env.messages.shown.size(), std::size_t{1});
    QCOMPARE(w.txt_Password()->text(), QStringLiteral("fine"));
}

// Counts the paint events of one widget.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget& widget) { widget.installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

void FrmDovrelCommandsTest::aServerThatNeverAnswersLeavesTheWindowAlive() {
    WindowEnvironment env;
    reachableSettings();
    FrmDovrel w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    dovrel::test::SilentServer silent;
    w.cmb_Server()->setEditText(q(silent.serverName()));
    w.txt_User()->setText(QStringLiteral("sa"));
    PaintCounter counter(w);

    // While the test waits for the silent server, the window is looked at
    // from the user-interface thread, as a user would see it.
    bool seenWaiting = false;
    int paintsWhileWaiting = -1;
    QPoint movedTo;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        if (silent.accepted() == 0) return;
        if (!seenWaiting) {
            seenWaiting = true;
            QVERIFY(!w.isEnabled());
            QCOMPARE(w.stbPanel(1)->text(), QStringLiteral("正在处理数据,请等候..."));
            QVERIFY(QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor);
            paintsWhileWaiting = counter.paints;
            w.update();
            w.move(w.pos() + QPoint(7, 5));
            movedTo = w.pos();
            // Typing during the wait goes nowhere, and is not replayed afterwards.
            QTest::keyClicks(w.txt_User(), QStringLiteral("zzz"));
            return;
        }
        if (counter.paints > paintsWhileWaiting) silent.dropConnections();
    });
    watch.start(20);
    w.cmdTest()->click();
    watch.stop();

    QVERIFY(seenWaiting);
    QVERIFY2(counter.paints > paintsWhileWaiting, "the window painted while it waited");
    QCOMPARE(w.pos(), movedTo);
    QVERIFY(w.isEnabled());
    QCOMPARE(w.txt_User()->text(), QStringLiteral("sa"));
    QVERIFY(withCrLf(w.txt_Result()->toPlainText()).startsWith(kServerFail.arg(q(silent.serverName()))));
    QCOMPARE(w.stbPanel(1)->text(), QStringLiteral("就绪..."));
}

void FrmDovrelCommandsTest::aFailedPingAfterASuccessReadsAsAFailure() {
    WindowEnvironment env;
    reachableSettings();
    FrmDovrel w;
    w.cmdTest()->click();
    QVERIFY(withCrLf(w.txt_Result()->toPlainText()).startsWith(kServerOk.arg(serverName_)));
    // The same server, now without an answer to the echo.
    dovrel::platform::ScriptedEchoTransport echoes;
    echoes.script = {dovrel::platform::scriptedSilence()};
    dovrel::platform::ScopedOverride<dovrel::platform::EchoTransport> scoped(echoes);
    w.cmdTest()->click();
    QCOMPARE(env.messages.shown.size(), std::size_t{1});
    QCOMPARE(q(env.messages.shown[0].text), QStringLiteral("网络不通，请检查网络设置！"));
    QCOMPARE(withCrLf(w.txt_Result()->toPlainText()), kServerFail.arg(serverName_) + "\r\n" +
                                                          kDatabaseFail.arg(QStringLiteral("TovixHR")) + "\r\n\r\n" +
                                                          kAdviceHeading + "\r\n" + kServerAdvice);
}

QTEST_MAIN(FrmDovrelCommandsTest)
#include "frm_dovrel_commands_test.moc"

// The settings window without a server: its controls and their places,
// captions, fonts and focus order, the localisation pass, and the
// keyboard and focus behaviour.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QtTest>
#include <memory>
#include <vector>

#include "core/busy.h"
#include "platform/text_converter.h"
#include "ui/frm_dovrel_fixture.h"
#include "ui/frm_dovrel.h"

using dovrel::runState;
using dovrel::test::q;
using dovrel::test::WindowEnvironment;
using dovrel::ui::FrmDovrel;

namespace {

// Brackets every converted text, so that a test sees which texts were
// converted and how often.
class MarkingConverter : public dovrel::platform::TextConverter {
public:
    std::optional<std::string> convert(const std::string& text) override { return "[" + text + "]"; }
};

// Settings that keep the window away from any server: the start-up check
// found nothing reachable.
void offlineSettings() {
    runState().ConnectionSettings = {"localhost," + std::to_string(dovrel::test::closedLoopbackPort()), "TovixHR", "sa",
                                     "Secret#1"};
    runState().ServerReachable = false;
}

}  // namespace

class FrmDovrelLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void controlsSitAtTheirTwipPositions();
    void captionsFontsAndKinds();
    void focusOrderAndPassiveControls();
    void localizeControlsConvertsCaptionsOnce();
    void enterMovesAlongTheTabOrder();
    void boxesSelectTheirTextOnEntry();
    void busyIndicatorIsNotCounted();
};

void FrmDovrelLayoutTest::controlsSitAtTheirTwipPositions() {
    WindowEnvironment env;
    offlineSettings();
    FrmDovrel w;
    QCOMPARE(w.size(), QSize(499, 382));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    QVERIFY(!(w.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(w.windowFlags() & Qt::WindowCloseButtonHint);

    struct Place {
        const char* name;
        QRect rect;
    };
    const Place places[] = {
        {"fra", {6, 60, 489, 175}},       {"cmb_Server", {124, 65, 183, 20}}, {"cmb_DataBase", {124, 144, 183, 20}},
        {"cmdQuery", {308, 66, 29, 19}},  {"cmdEncrypt", {354, 90, 97, 22}},  {"txt_Password", {124, 118, 183, 20}},
        {"txt_User", {124, 92, 183, 20}}, {"Image1", {14, 18, 35, 36}},       {"cmdTest", {396, 258, 97, 22}},
        {"cmdSave", {396, 282, 97, 22}},  {"txt_Result", {6, 260, 383, 95}},  {"picTop", {0, 0, 499, 59}},
        {"cmdExit", {396, 332, 97, 22}},  {"stbMain", {0, 361, 499, 21}},
    };
    for (const Place& place : places) {
        auto* widget = w.findChild<QWidget*>(QLatin1String(place.name));
        QVERIFY2(widget, place.name);
        QCOMPARE(widget->geometry(), place.rect);
    }
    QCOMPARE(w.cmb_Server()->parentWidget(), static_cast<QWidget*>(w.fra()));
    QCOMPARE(w.cmdTest()->parentWidget(), static_cast<QWidget*>(&w));
    QCOMPARE(w.lblTitle()->parentWidget(), static_cast<QWidget*>(w.picTop()));
    QCOMPARE(w.lblTitle()->pos(), QPoint(10, 16));
    QCOMPARE(w.Label1()->pos(), QPoint(66, 20));
    QCOMPARE(w.Label1()->width(), 407);
    QVERIFY(w.Label1()->height() >= 39);
    // The field labels are right-aligned and end just left of the fields;
    // the result label starts at its left edge.
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(w.lblDesc(i)->geometry().right() + 1, 120);
        QVERIFY(w.lblDesc(i)->alignment() & Qt::AlignRight);
        QCOMPARE(w.lblDesc(i)->parentWidget(), static_cast<QWidget*>(w.fra()));
    }
    QCOMPARE(w.lblDesc(4)->pos(), QPoint(10, 242));
    QCOMPARE(w.lblDesc(0)->y(), 68);
    QCOMPARE(w.lblDesc(1)->y(), 146);
    QCOMPARE(w.lblDesc(2)->y(), 96);
    QCOMPARE(w.lblDesc(3)->y(), 122);
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(w.lblDesc(i), w.findChild<QLabel*>(QStringLiteral("lblDesc_%1").arg(i)));
    }
    // Panels 2 and 3 at the right end; panel 1 takes what is left, and none overlaps another.
    QCOMPARE(w.stbPanel(2)->width(), 96);
    QCOMPARE(w.stbPanel(3)->width(), 96);
    for (int i = 1; i <= 3; ++i) {
        QCOMPARE(w.stbPanel(i)->parentWidget(), static_cast<QWidget*>(w.stbMain()));
        QVERIFY(w.stbMain()->rect().contains(w.stbPanel(i)->geometry()));
        if (i < 3) QCOMPARE(w.stbPanel(i)->geometry().right() + 1, w.stbPanel(i + 1)->x());
    }
    QVERIFY(w.stbPanel(1)->width() >= 300);
}

void FrmDovrelLayoutTest::captionsFontsAndKinds() {
    WindowEnvironment env;
    offlineSettings();
    FrmDovrel w;
    QCOMPARE(w.windowTitle(), QStringLiteral("数据库连接设置"));
    QCOMPARE(w.lblDesc(0)->text(), QStringLiteral("数据服务器(&S)"));
    QCOMPARE(w.lblDesc(1)->text(), QStringLiteral("数据库(&D)"));
    QCOMPARE(w.lblDesc(2)->text(), QStringLiteral("用户(&U)"));
    QCOMPARE(w.lblDesc(3)->text(), QStringLiteral("密码(&P)"));
    QCOMPARE(w.lblDesc(4)->text(), QStringLiteral("结果输出窗口:"));
    QCOMPARE(w.lblDesc(0)->buddy(), static_cast<QWidget*>(w.cmb_Server()));
    QCOMPARE(w.lblDesc(1)->buddy(), static_cast<QWidget*>(w.cmb_DataBase()));
    QCOMPARE(w.lblDesc(2)->buddy(), static_cast<QWidget*>(w.txt_User()));
    QCOMPARE(w.lblDesc(3)->buddy(), static_cast<QWidget*>(w.txt_Password()));
    QCOMPARE(w.cmdQuery()->text(), QStringLiteral("..."));
    QCOMPARE(w.cmdEncrypt()->text(), QStringLiteral("加密连接字串"));
    QCOMPARE(w.cmdTest()->text(), QStringLiteral("测试(&A)"));
    QCOMPARE(w.cmdSave()->text(), QStringLiteral("保存设置(&B)"));
    QCOMPARE(w.cmdExit()->text(), QStringLiteral("退出(&X)"));
    QCOMPARE(w.lblTitle()->text(), QStringLiteral("Ostrel人事考勤系统数据库连接设置"));
    QVERIFY(w.Label1()->text().startsWith(QStringLiteral("设置以下连接参数")));
    QVERIFY(w.Label1()->wordWrap());

    QCOMPARE(w.txt_Password()->echoMode(), QLineEdit::Password);
    QCOMPARE(w.txt_User()->echoMode(), QLineEdit::Normal);
    QVERIFY(w.cmb_Server()->isEditable());
    QVERIFY(w.cmb_DataBase()->isEditable());
    QVERIFY(!w.txt_Result()->isReadOnly());
    QCOMPARE(w.txt_Result()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    // The design font, no larger than 9.75 points, and the longest diagnosis shows whole.
    QCOMPARE(w.txt_Result()->font().family(), QStringLiteral("MS Serif"));
    QVERIFY(w.txt_Result()->font().pointSizeF() <= 9.75 && w.txt_Result()->font().pointSizeF() >= 8);
    w.txt_Result()->setPlainText(
        QStringLiteral("连接数据服务器<x>： 失败！\n连接数据库<y>： 失败！\n\n"
                       "请检查以下可能的失败原因或重新设置：\n    服务器是否在线；\n"
                       "    服务器上的SQL SERVER服务是否启动；\n    用户和密码是否输入正确；"));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.txt_Result()->verticalScrollBar()->maximum(), 0);
    QCOMPARE(w.lblTitle()->font().pointSize(), 18);
    QCOMPARE(w.lblTitle()->font().weight(), QFont::Normal);
    QCOMPARE(w.lblTitle()->palette().color(QPalette::WindowText), w.palette().color(QPalette::Highlight));
    QCOMPARE(w.fra()->title(), QString());

    QCOMPARE(w.picTop()->pixmap().size(), QSize(499, 64));
    QCOMPARE(w.Image1()->pixmap().size(), QSize(35, 36));
    QVERIFY(!w.windowIcon().isNull());
    QVERIFY(w.windowIcon().availableSizes().contains(QSize(32, 32)));
}

void FrmDovrelLayoutTest::focusOrderAndPassiveControls() {
    WindowEnvironment env;
    offlineSettings();
    FrmDovrel w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.cmb_Server()->setFocus(Qt::TabFocusReason);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.cmb_Server()));
    const QList<QWidget*> expected = {w.cmdQuery(), w.txt_User(),   w.txt_Password(), w.cmb_DataBase(),
                                      w.cmdTest(),  w.cmdSave(),    w.cmdEncrypt(),   w.cmdExit(),
                                      w.picTop(),   w.txt_Result(), w.cmb_Server()};
    for (QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
    for (QWidget* passive :
         {static_cast<QWidget*>(w.fra()), static_cast<QWidget*>(w.stbMain()), static_cast<QWidget*>(w.Label1()),
          static_cast<QWidget*>(w.lblTitle()), static_cast<QWidget*>(w.Image1())}) {
        QCOMPARE(passive->focusPolicy(), Qt::NoFocus);
    }
    for (int i = 0; i < 5; ++i) QCOMPARE(w.lblDesc(i)->focusPolicy(), Qt::NoFocus);
}

void FrmDovrelLayoutTest::localizeControlsConvertsCaptionsOnce() {
    WindowEnvironment env;
    offlineSettings();
    MarkingConverter converter;
    dovrel::platform::seam<dovrel::platform::TextConverter>().install(&converter);
    runState().UseBig5Conversion = 1;
    runState().UiFontName = "新細明體";
    FrmDovrel w;
    dovrel::platform::seam<dovrel::platform::TextConverter>().install(nullptr);
    QCOMPARE(w.windowTitle(), QStringLiteral("[数据库连接设置]"));
    QCOMPARE(w.lblDesc(0)->text(), QStringLiteral("[数据服务器(&S)]"));
    QCOMPARE(w.lblDesc(4)->text(), QStringLiteral("[结果输出窗口:]"));
    QCOMPARE(w.lblTitle()->text(), QStringLiteral("[Ostrel人事考勤系统数据库连接设置]"));
    QVERIFY(w.Label1()->text().startsWith(QStringLiteral("[设置")));
    QCOMPARE(w.cmdEncrypt()->text(), QStringLiteral("[加密连接字串]"));
    QCOMPARE(w.cmdExit()->text(), QStringLiteral("[退出(&X)]"));
    QCOMPARE(w.cmdQuery()->text(), QStringLiteral("[...]"));
    // Labels and buttons take the display font; their sizes stay. Text
    // and combo boxes keep their own fonts.
    for (QWidget* widget : {static_cast<QWidget*>(w.lblDesc(2)), static_cast<QWidget*>(w.lblTitle()),
                            static_cast<QWidget*>(w.Label1()), static_cast<QWidget*>(w.cmdSave())}) {
        QCOMPARE(widget->font().family(), QStringLiteral("新細明體"));
    }
    QCOMPARE(w.lblTitle()->font().pointSize(), 18);
    QCOMPARE(w.lblDesc(2)->font().pointSize(), 9);
    QCOMPARE(w.txt_Result()->font().family(), QStringLiteral("MS Serif"));
    QCOMPARE(w.txt_User()->font().family(), QStringLiteral("宋体"));
    QCOMPARE(w.font().family(), QStringLiteral("新細明體"));
    // The field labels stay flush with the fields after the font change.
    QCOMPARE(w.lblDesc(0)->geometry().right() + 1, 120);
    // The status texts pass through the conversion as well.
    QCOMPARE(w.stbPanel(1)->text(), QStringLiteral("[就绪...]"));
    QVERIFY(w.txt_Result()->toPlainText().startsWith(QStringLiteral("[连接数据服务器]<")));
}

void FrmDovrelLayoutTest::enterMovesAlongTheTabOrder() {
    WindowEnvironment env;
    offlineSettings();
    FrmDovrel w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    // Enter moves the focus and presses no button, wherever it is pressed.
    std::vector<std::unique_ptr<QSignalSpy>> clicks;
    for (QPushButton* button : {w.cmdQuery(), w.cmdTest(), w.cmdSave(), w.cmdEncrypt(), w.cmdExit()}) {
        QVERIFY(!button->autoDefault() && !button->isDefault());
        clicks.push_back(std::make_unique<QSignalSpy>(button, &QPushButton::clicked));
    }
    const auto enterIn = [](QWidget* widget, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        widget->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(widget, Qt::Key_Return, modifiers);
        // The Tab arrives after the Enter, as a posted key stroke.
        QCoreApplication::processEvents();
    };
    enterIn(w.cmb_Server());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.cmdQuery()));
    enterIn(w.txt_User());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.txt_Password()));
    QCOMPARE(w.txt_Password()->selectedText(), w.txt_Password()->text());
    QVERIFY(!w.txt_Password()->text().isEmpty());
    enterIn(w.txt_Password(), Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.cmb_DataBase()));
    QTest::keyClick(w.cmb_DataBase(), Qt::Key_Enter, Qt::KeypadModifier | Qt::ControlModifier);
    QCoreApplication::processEvents();
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.cmdTest()));
    // Other keys move nothing; Escape does not close the window.
    QTest::keyClick(w.cmdTest(), Qt::Key_Escape);
    QTest::keyClick(w.cmdTest(), Qt::Key_A);
    QCoreApplication::processEvents();
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.cmdTest()));
    QVERIFY(w.isVisible());
    // Enter on a button moves on as well.
    enterIn(w.cmdSave());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.cmdEncrypt()));
    for (const auto& spy : clicks) QCOMPARE(spy->count(), 0);
    // Enter in the server box still reaches it: no entry is added.
    QCOMPARE(w.cmb_Server()->count(), 0);
    QVERIFY(env.messages.shown.empty());
}

void FrmDovrelLayoutTest::boxesSelectTheirTextOnEntry() {
    WindowEnvironment env;
    offlineSettings();
    FrmDovrel w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.cmdTest()->setFocus();
    w.txt_User()->setText(QStringLiteral("admin"));
    w.txt_User()->setFocus(Qt::OtherFocusReason);
    QCOMPARE(w.txt_User()->selectedText(), QStringLiteral("admin"));
    QCOMPARE(w.txt_User()->selectionStart(), 0);

    // With the mouse, the click places no caret: the whole text stays selected.
    w.cmdTest()->setFocus();
    QLineEdit* serverEdit = w.cmb_Server()->lineEdit();
    QTest::mouseClick(serverEdit, Qt::LeftButton, Qt::NoModifier, QPoint(5, serverEdit->height() / 2));
    QCoreApplication::processEvents();
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.cmb_Server()));
    QCOMPARE(serverEdit->selectedText(), w.cmb_Server()->currentText());
    QVERIFY(!serverEdit->selectedText().isEmpty());

    w.cmdTest()->setFocus();
    QTest::mouseClick(w.txt_Password(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 10));
    QCoreApplication::processEvents();
    QCOMPARE(w.txt_Password()->selectedText(), QStringLiteral("Secret#1"));

    // An empty box: nothing selected, the caret at the start.
    w.cmdTest()->setFocus();
    w.txt_User()->clear();
    QTest::mouseClick(w.txt_User(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 10));
    QCoreApplication::processEvents();
    QVERIFY(!w.txt_User()->hasSelectedText());
    QCOMPARE(w.txt_User()->cursorPosition(), 0);

    // The database box has no such behaviour: a click places the caret.
    w.cmdTest()->setFocus();
    QLineEdit* databaseEdit = w.cmb_DataBase()->lineEdit();
    QTest::mouseClick(databaseEdit, Qt::LeftButton, Qt::NoModifier, QPoint(2, databaseEdit->height() / 2));
    QCoreApplication::processEvents();
    QVERIFY(!databaseEdit->hasSelectedText());
}

void FrmDovrelLayoutTest::busyIndicatorIsNotCounted() {
    WindowEnvironment env;
    offlineSettings();
    FrmDovrel w;
    QVERIFY(QApplication::overrideCursor() == nullptr);
    dovrel::BeginBusy();
    QCOMPARE(w.stbPanel(1)->text(), QStringLiteral("正在处理数据,请等候..."));
    dovrel::BeginBusy("导入中");
    QCOMPARE(w.stbPanel(1)->text(), QStringLiteral("导入中"));
    QVERIFY(QApplication::overrideCursor() != nullptr);
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    // One end for both beginnings.
    dovrel::EndBusy();
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QCOMPARE(w.stbPanel(1)->text(), QStringLiteral("就绪..."));
    QCOMPARE(w.stbPanel(2)->text(), QString());
    QCOMPARE(w.stbPanel(3)->text(), QString());
}

QTEST_MAIN(FrmDovrelLayoutTest)
#include "frm_dovrel_layout_test.moc"

// The Win32 windows at work: message boxes shown by the user-interface
// thread whoever asks, the window disabled while a command waits, the
// progress window's status line, and, against the stand-in named by
// DOVREL_STANDIN_PORT and DOVREL_STANDIN_PASSWORD, the commands and the
// whole start-up sequence.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "core/credentials.h"
#include "core/settings.h"
#include "core/settings_schema.h"
#include "cipher/cipher_text.h"
#include "platform/settings_backend.h"
#include "winui/combo_box.h"
#include "winui/frm_dovrel.h"
#include "winui/frm_setup_type.h"
#include "winui/main_sequence.h"
#include "winui/message_box_sink.h"
#include "winui_fixture.h"

namespace dovrel::test::winui {
namespace {

using dovrel::winui::FrmDovrel;

// A message box that the user-interface thread shows, as a timer of that
// thread finds it: its title, text and icon; the timer answers it.
struct SeenBox {
    std::string title, text;
    HICON icon = nullptr;
};
std::vector<SeenBox> seenBoxes;
WPARAM boxAnswer = IDOK;

BOOL CALLBACK collectIcon(HWND child, LPARAM found) {
    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
        *reinterpret_cast<HICON*>(found) = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    return TRUE;
}

BOOL CALLBACK answerBox(HWND window, LPARAM) {
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    // A message box is a dialog with its text in control 0xFFFF (the
    // program's own windows are dialogs too).
    if (!IsWindowVisible(window) || lstrcmpW(className, L"#32770") != 0 || !GetDlgItem(window, 0xFFFF)) return TRUE;
    SeenBox box{text(window), text(GetDlgItem(window, 0xFFFF)), nullptr};
    EnumChildWindows(window, collectIcon, reinterpret_cast<LPARAM>(&box.icon));
    seenBoxes.push_back(box);
    PostMessageW(window, WM_COMMAND, boxAnswer, 0);
    return FALSE;
}

void CALLBACK lookForBoxes(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), answerBox, 0); }

// Answers the message boxes of this thread while the object lives.
class BoxAnswerer {
public:
    explicit BoxAnswerer(WPARAM answer) : timer_(SetTimer(nullptr, 0, 50, lookForBoxes)) {
        seenBoxes.clear();
        boxAnswer = answer;
    }
    ~BoxAnswerer() { KillTimer(nullptr, timer_); }

private:
    UINT_PTR timer_;
};

class WorkingWindows : public WindowsUi {};

TEST_F(WorkingWindows, MessageBoxesAreTheUserInterfaceThreadsWhileTheWorkWaits) {
    dovrel::winui::MessageBoxSink boxes;
    const platform::ScopedOverride<MessageSink> scoped(boxes);
    const BoxAnswerer answerer(IDCANCEL);
    offlineSettings();
    FrmDovrel window;
    bool enabledDuringWork = true;
    MessageAnswer answer = MessageAnswer::Ok;
    dovrel::winui::runOffUiThread(window.handle(), [&] {
        dovrel::winui::onUiThread([&] { enabledDuringWork = IsWindowEnabled(window.handle()) != FALSE; });
        answer = showMessage("网络不通，请检查网络设置！", MessageIcon::Exclamation, MessageButtons::OkCancel);
    });
    EXPECT_FALSE(enabledDuringWork);
    EXPECT_TRUE(IsWindowEnabled(window.handle()));
    EXPECT_EQ(answer, MessageAnswer::Cancel);
    ASSERT_EQ(seenBoxes.size(), 1u);
    EXPECT_EQ(seenBoxes[0].title, "Dovrel");
    EXPECT_EQ(seenBoxes[0].text, "网络不通，请检查网络设置！");
    EXPECT_EQ(seenBoxes[0].icon, LoadIconW(nullptr, IDI_WARNING));
}

TEST_F(WorkingWindows, ProgressWindowIsAToolWindowWhoseStatusLineFollowsTheCheck) {
    runState().UiFontName = "宋体";
    dovrel::winui::FrmSetupType progress;
    progress.show();
    EXPECT_EQ(text(progress.handle()), "Installshield Wizard");
    EXPECT_TRUE(GetWindowLongW(progress.handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(GetWindowLongW(progress.handle(), GWL_STYLE) & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_EQ(text(progress.lblDesc()), "正在更新系统....");
    EXPECT_EQ(fontFace(progress.lblDesc()), "宋体");
    const RECT before = placeIn(progress.lblDesc(), progress.handle());
    dovrel::winui::runOffUiThread(progress.handle(),
                                  [] { uiHost().setProgressText("正在检查数据服务器上的数据库..."); });
    EXPECT_EQ(text(progress.lblDesc()), "正在检查数据服务器上的数据库...");
    const RECT after = placeIn(progress.lblDesc(), progress.handle());
    EXPECT_EQ(after.left, before.left);
    EXPECT_GT(after.right, before.right);
}

// The stand-in of the test run, or nothing when none was started.
struct StandIn {
    std::string server, password;
};
std::optional<StandIn> standIn() {
    const char* port = std::getenv("DOVREL_STANDIN_PORT");
    const char* password = std::getenv("DOVREL_STANDIN_PASSWORD");
    if (port == nullptr || password == nullptr) return std::nullopt;
    return StandIn{std::string("127.0.0.1,") + port, password};
}

std::string stored(const char* name) {
    std::optional<std::string> value;
    platform::machineSettings().queryValue(kSettingsKey, name, value);
    return value.value_or("");
}

TEST_F(WorkingWindows, CommandsAgainstTheStandIn) {
    const auto server = standIn();
    if (!server) GTEST_SKIP() << "no stand-in: scripts/test-windows.sh starts one";
    offlineSettings();
    FrmDovrel window;
    window.show();
    dovrel::winui::setWindowText(window.cmb_Server(), server->server);
    dovrel::winui::setWindowText(window.txt_Password(), server->password);

    SendMessageW(window.cmdQuery(), BM_CLICK, 0, 0);
    const std::vector<std::string> listed = dovrel::winui::comboItems(window.cmb_DataBase());
    EXPECT_NE(std::find(listed.begin(), listed.end(), "TovixHR"), listed.end());
    EXPECT_NE(std::find(listed.begin(), listed.end(), "人事档案"), listed.end());
    EXPECT_EQ(text(window.cmb_DataBase()), "TovixHR");

    SendMessageW(window.cmdTest(), BM_CLICK, 0, 0);
    EXPECT_EQ(text(window.txt_Result()),
              "连接数据服务器<" + server->server + ">： 成功！\r\n连接数据库<TovixHR>： 成功！");
    EXPECT_TRUE(messages.shown.empty());

    // Save stores cipher text whether or not the boxes show it.
    for (const bool encryptFirst : {false, true}) {
        SCOPED_TRACE(encryptFirst ? "encrypted boxes" : "clear boxes");
        if (encryptFirst) SendMessageW(window.cmdEncrypt(), BM_CLICK, 0, 0);
        messages.shown.clear();
        SendMessageW(window.cmdSave(), BM_CLICK, 0, 0);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, "保存成功！");
        EXPECT_EQ(messages.shown[0].icon, MessageIcon::Information);
        EXPECT_NE(stored("User"), "sa");
        EXPECT_EQ(CipherText("D", kCipherKey, stored("User")), "sa");
        EXPECT_EQ(CipherText("D", kCipherKey, stored("Password")), server->password);
        EXPECT_EQ(stored("ServerName"), server->server);
    }
}

TEST(StartUp, RunsTheCheckBehindThePaintedProgressWindowThenTheSettingsWindow) {
    const auto server = standIn();
    if (!server) GTEST_SKIP() << "no stand-in: scripts/test-windows.sh starts one";
    resetRunState();
    WriteSetting(kSettingsKey, "ServerName", server->server);
    WriteSetting(kSettingsKey, "DataBase", "TovixHR");
    WriteSetting(kSettingsKey, "User", StorableCipherText("sa").value());
    WriteSetting(kSettingsKey, "Password", StorableCipherText(server->password).value());
    const BoxAnswerer answerer(IDOK);
    HWND progressSeen = nullptr;
    dovrel::winui::Main([&](HWND progress) {
        progressSeen = progress;
        EXPECT_TRUE(IsWindowVisible(progress));
        EXPECT_TRUE(GetWindowLongW(progress, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
        EXPECT_TRUE(dovrel::winui::WinUiHost::instance().busy());
        EXPECT_TRUE(runState().ServerReachable);
        EXPECT_TRUE(runState().DatabaseExists);
        EXPECT_EQ(runState().ConnectionSettings.UserName, "sa");
        // The settings window opens over it, and Exit ends it.
        FrmDovrel window;
        PostMessageW(window.cmdExit(), BM_CLICK, 0, 0);
        window.showModal(progress);
        EXPECT_TRUE(window.closed());
    });
    EXPECT_TRUE(seenBoxes.empty()) << seenBoxes.front().text;
    EXPECT_NE(progressSeen, nullptr);
    EXPECT_FALSE(IsWindow(progressSeen));
    EXPECT_FALSE(dovrel::winui::WinUiHost::instance().busy());
    EXPECT_NE(&uiHost(), static_cast<UiHost*>(&dovrel::winui::WinUiHost::instance()));
    resetRunState();
}

}  // namespace
}  // namespace dovrel::test::winui

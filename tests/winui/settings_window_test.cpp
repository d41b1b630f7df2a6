// The Win32 settings window without a server: the controls at the table's
// places for the window's DPI, captions, fonts, focus order, status panels
// and frame, and the keyboard: Enter as Tab, mnemonics, Escape, Exit.
#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "core/busy.h"
#include "core/window_layout.h"
#include "winui/frm_dovrel.h"
#include "winui/layout_builder.h"
#include "winui/picture_control.h"
#include "winui_fixture.h"

namespace dovrel::test::winui {
namespace {

using dovrel::winui::FrmDovrel;
using dovrel::winui::twipsToPixels;
using layout::Kind;

class SettingsWindow : public WindowsUi {
protected:
    SettingsWindow() { offlineSettings(); }

    // Presses a key on the focused control as the keyboard would, then lets
    // the window handle it and what it posts.
    void press(FrmDovrel& window, UINT key) {
        PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
        window.dispatchPending();
    }
    void pressAlt(FrmDovrel& window, wchar_t letter) {
        PostMessageW(GetFocus(), WM_SYSCHAR, letter, 1 << 29);
        window.dispatchPending();
    }
    HWND focusedControl(FrmDovrel& window) {
        // A combo box's focus sits in its edit part.
        HWND focus = GetFocus();
        while (focus != nullptr && GetParent(focus) != window.handle()) focus = GetParent(focus);
        return focus;
    }
};

TEST_F(SettingsWindow, ControlsSitAtTheTablesPlacesForTheDpi) {
    FrmDovrel window;
    window.show();
    const layout::Window& table = layout::settingsWindow();
    const UINT dpi = dovrel::winui::windowDpi(window.handle());
    const auto px = [dpi](int twips) { return twipsToPixels(twips, dpi); };

    RECT client;
    GetClientRect(window.handle(), &client);
    EXPECT_EQ(client.right, px(7485));
    EXPECT_EQ(client.bottom, px(5730));
    EXPECT_EQ(text(window.handle()), "数据库连接设置");
    // A fixed dialog frame with a close box and nothing else.
    const auto style = GetWindowLongW(window.handle(), GWL_STYLE);
    EXPECT_TRUE((style & WS_SYSMENU) && (style & WS_CAPTION));
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_FALSE(GetWindowLongW(window.handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_NE(SendMessageW(window.handle(), WM_GETICON, ICON_BIG, 0), 0);

    std::size_t controls = 0;
    for (const auto& [control, handle] : window.built().controls()) {
        SCOPED_TRACE(std::string(control->name));
        ++controls;
        ASSERT_TRUE(IsWindow(handle));
        const RECT design = dovrel::winui::designBox(table, *control);
        const HWND container = control->container.empty() || control->container == "fra"
                                   ? window.handle()
                                   : window.control(control->container);
        const RECT place = placeIn(handle, container);
        EXPECT_EQ(place.top, px(design.top));
        if (control->kind == Kind::AutoSizeLabel) {
            // Sized to the text; the field labels end at 1800 twips, just left of the fields.
            EXPECT_EQ(control->align == layout::Align::Right ? place.right : place.left,
                      px(control->align == layout::Align::Right ? design.right : design.left));
            EXPECT_GT(place.right - place.left, 0);
            continue;
        }
        EXPECT_EQ(place.left, px(design.left));
        EXPECT_EQ(place.right, px(design.right));
        // A wrapping label grows downwards where the font needs more lines,
        // a combo box where its font is taller than the design font.
        if (control->kind == Kind::WrappingLabel || control->kind == Kind::ComboBox)
            EXPECT_GE(place.bottom, px(design.bottom));
        else
            EXPECT_EQ(place.bottom, px(design.bottom));
    }
    EXPECT_EQ(controls, table.controls.size());
    EXPECT_EQ(GetParent(window.control("lblTitle")), window.control("picTop"));
    EXPECT_EQ(dovrel::winui::pictureBitmapSize(window.control("picTop")).cx, 499);
    EXPECT_EQ(dovrel::winui::pictureBitmapSize(window.control("Image1")).cy, 36);

    // Panels 2 and 3 keep 1440 twips at the right end, panel 1 takes the
    // rest, and none overlaps the next.
    int edges[4] = {};
    ASSERT_EQ(SendMessageW(window.stbMain(), SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 3);
    RECT bar;
    GetClientRect(window.stbMain(), &bar);
    EXPECT_EQ(edges[2], bar.right);
    EXPECT_EQ(edges[2] - edges[1], px(1440));
    EXPECT_EQ(edges[1] - edges[0], px(1440));
    EXPECT_GE(edges[0], px(4000));
}

TEST_F(SettingsWindow, CaptionsFontsAndKinds) {
    FrmDovrel window;
    struct Caption {
        const char* control;
        const char* caption;
    };
    for (const Caption& expected :
         {Caption{"lblDesc_0", "数据服务器(&S)"}, Caption{"lblDesc_1", "数据库(&D)"}, Caption{"lblDesc_2", "用户(&U)"},
          Caption{"lblDesc_3", "密码(&P)"}, Caption{"lblDesc_4", "结果输出窗口:"}, Caption{"cmdQuery", "..."},
          Caption{"cmdEncrypt", "加密连接字串"}, Caption{"cmdTest", "测试(&A)"}, Caption{"cmdSave", "保存设置(&B)"},
          Caption{"cmdExit", "退出(&X)"}, Caption{"lblTitle", "Ostrel人事考勤系统数据库连接设置"}}) {
        EXPECT_EQ(text(window.control(expected.control)), expected.caption);
    }
    EXPECT_EQ(SendMessageW(window.txt_Password(), EM_GETPASSWORDCHAR, 0, 0), L'*');
    EXPECT_EQ(GetWindowLongW(window.cmb_Server(), GWL_STYLE) & CBS_DROPDOWNLIST, CBS_DROPDOWN);
    EXPECT_TRUE(GetWindowLongW(window.txt_Result(), GWL_STYLE) & WS_VSCROLL);
    // No button answers Enter by default.
    for (HWND button : {window.cmdQuery(), window.cmdTest(), window.cmdSave(), window.cmdEncrypt(), window.cmdExit()})
        EXPECT_EQ(GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    EXPECT_EQ(GetDlgItem(window.handle(), LOWORD(SendMessageW(window.handle(), DM_GETDEFID, 0, 0))), nullptr);

    // Labels and buttons take the display font, the boxes keep theirs; no
    // font asks for a Chinese character set.
    EXPECT_EQ(fontFace(window.control("lblDesc_2")), "宋体");
    EXPECT_EQ(fontFace(window.txt_Result()), "MS Serif");
    EXPECT_EQ(fontFace(window.txt_User()), "宋体");
    for (const auto& [control, handle] : window.built().controls()) {
        if (control->kind == Kind::Picture) continue;  // shows no text
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(handle, WM_GETFONT, 0, 0)), sizeof font, &font);
        EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET) << control->name;
        EXPECT_EQ(font.lfWeight, FW_NORMAL) << control->name;
    }

    // The longest diagnosis shows whole: the box does not scroll.
    SetWindowTextW(
        window.txt_Result(),
        L"连接数据服务器<x>： 失败！\r\n连接数据库<y>： 失败！\r\n\r\n请检查以下可能的失败原因或重新设置："
        L"\r\n    服务器是否在线；\r\n    服务器上的SQL SERVER服务是否启动；\r\n    用户和密码是否输入正确；");
    ASSERT_EQ(SendMessageW(window.txt_Result(), EM_GETLINECOUNT, 0, 0), 7);
    SendMessageW(window.txt_Result(), EM_SCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(SendMessageW(window.txt_Result(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

TEST_F(SettingsWindow, TraditionalMachineShowsConvertedCaptionsInItsFont) {
    runState().UseBig5Conversion = 1;
    runState().UiFontName = "新細明體";
    FrmDovrel window;
    EXPECT_EQ(text(window.handle()), "數據庫連接設置");
    EXPECT_EQ(text(window.cmdExit()), "退出(&X)");
    EXPECT_EQ(text(window.control("lblDesc_1")), "數據庫(&D)");
    EXPECT_EQ(fontFace(window.control("lblDesc_1")), "新細明體");
    EXPECT_EQ(fontFace(window.cmdSave()), "新細明體");
    EXPECT_EQ(fontFace(window.cmb_DataBase()), "宋体");
    // The field labels stay flush with the fields after the font change
    // (1800 twips into the frame, which starts at 90).
    const UINT dpi = dovrel::winui::windowDpi(window.handle());
    EXPECT_EQ(placeIn(window.control("lblDesc_1"), window.handle()).right, twipsToPixels(1890, dpi));
    EXPECT_TRUE(text(window.txt_Result()).starts_with("連接數據服務器<"));
}

TEST_F(SettingsWindow, EnterMovesAlongTheTabOrderAndPressesNothing) {
    FrmDovrel window;
    window.show();
    SendMessageW(window.handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(window.cmb_Server()), TRUE);
    ASSERT_EQ(focusedControl(window), window.cmb_Server());
    const std::vector<HWND> order = {window.cmdQuery(),     window.txt_User(),  window.txt_Password(),
                                     window.cmb_DataBase(), window.cmdTest(),   window.cmdSave(),
                                     window.cmdEncrypt(),   window.cmdExit(),   window.control("picTop"),
                                     window.txt_Result(),   window.cmb_Server()};
    for (HWND next : order) {
        press(window, VK_RETURN);
        ASSERT_EQ(focusedControl(window), next) << text(next);
        // The server, user and password boxes select their whole text on entry.
        if (next == window.txt_User() || next == window.txt_Password()) {
            DWORD start = 1, end = 0;
            SendMessageW(next, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            EXPECT_EQ(start, 0u);
            EXPECT_EQ(end, static_cast<DWORD>(GetWindowTextLengthW(next)));
            EXPECT_GT(end, 0u);
        }
    }
    // Pressed nothing: no message, no encryption, still open; Escape does not close it.
    press(window, VK_ESCAPE);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(window.encryptNext());
    EXPECT_EQ(text(window.txt_User()), "sa");
    EXPECT_FALSE(window.closed());
    // A label's mnemonic moves to its field; a button's presses it: Alt+X exits.
    pressAlt(window, L'u');
    EXPECT_EQ(focusedControl(window), window.txt_User());
    pressAlt(window, L'd');
    EXPECT_EQ(focusedControl(window), window.cmb_DataBase());
    EXPECT_FALSE(window.closed());
    pressAlt(window, L'x');
    EXPECT_TRUE(window.closed());
    EXPECT_FALSE(IsWindowVisible(window.handle()));
}

TEST_F(SettingsWindow, CloseBoxEndsTheWindowUnlessWorkIsUnderWay) {
    FrmDovrel window;
    window.show();
    EnableWindow(window.handle(), FALSE);
    SendMessageW(window.handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(window.closed());
    EnableWindow(window.handle(), TRUE);
    SendMessageW(window.handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(window.closed());
}

TEST_F(SettingsWindow, BusyTextsInPanelOneAndTheBusyPointer) {
    FrmDovrel window;
    const auto panel = [&window] {
        wchar_t buffer[128] = {};
        SendMessageW(window.stbMain(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(buffer));
        return dovrel::winui::utf8(buffer);
    };
    EXPECT_EQ(panel(), "就绪...");
    BeginBusy();
    EXPECT_EQ(panel(), "正在处理数据,请等候...");
    EXPECT_TRUE(dovrel::winui::WinUiHost::instance().busy());
    BeginBusy();
    EndBusy();
    EXPECT_EQ(panel(), "就绪...");
    EXPECT_FALSE(dovrel::winui::WinUiHost::instance().busy());
}

}  // namespace
}  // namespace dovrel::test::winui

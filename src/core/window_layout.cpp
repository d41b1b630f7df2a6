#include "core/window_layout.h"

#include <array>
#include <stdexcept>
#include <string>

namespace dovrel::layout {
namespace {

// Controls in the order in which they are created; a label sits after the
// control its mnemonic moves to.
constexpr Control kSettingsControls[] = {
    {"stbMain", Kind::StatusBar, "", 0, 5415, 7485, 315, -1},
    {"fra", Kind::Frame, "", 90, 900, 7335, 2625, -1},
    {"cmb_Server", Kind::ComboBox, "fra", 1860, 980, 2745, 300, 0},
    {"cmb_DataBase", Kind::ComboBox, "fra", 1860, 2160, 2745, 300, 4},
    {"cmdQuery", Kind::Button, "fra", 4620, 990, 435, 285, 1, "..."},
    {"cmdEncrypt", Kind::Button, "fra", 5310, 1350, 1455, 330, 7, "加密连接字串"},
    {"txt_Password", Kind::PasswordBox, "fra", 1860, 1766, 2745, 300, 3},
    {"txt_User", Kind::TextBox, "fra", 1860, 1373, 2745, 300, 2},
    {"Label1", Kind::WrappingLabel, "fra", 990, 300, 6105, 585, -1,
     "设置以下连接参数，可以使客户机能够利用您设置的信息连接到数据服务器，"
     "一般情况下，您只要在安装完成后，进行正确的设置，您的系统就能顺利运行。"},
    {"Image1", Kind::Picture, "fra", 210, 270, 525, 540, -1, {}, Align::Left, {}, "connection_picture"},
    {"lblDesc_3", Kind::AutoSizeLabel, "fra", 1170, 1830, 630, 180, -1, "密码(&P)", Align::Right, "txt_Password"},
    {"lblDesc_2", Kind::AutoSizeLabel, "fra", 1170, 1440, 630, 180, -1, "用户(&U)", Align::Right, "txt_User"},
    {"lblDesc_1", Kind::AutoSizeLabel, "fra", 990, 2190, 810, 180, -1, "数据库(&D)", Align::Right, "cmb_DataBase"},
    {"lblDesc_0", Kind::AutoSizeLabel, "fra", 630, 1020, 1170, 180, -1, "数据服务器(&S)", Align::Right, "cmb_Server"},
    {"cmdTest", Kind::Button, "", 5940, 3870, 1455, 330, 5, "测试(&A)"},
    {"cmdSave", Kind::Button, "", 5940, 4230, 1455, 330, 6, "保存设置(&B)"},
    {"txt_Result", Kind::ResultBox, "", 90, 3900, 5745, 1425, 11, {}, Align::Left, {}, {}, {"MS Serif", 9.75}},
    {"picTop", Kind::Picture, "", 0, 0, 7485, 885, 9, {}, Align::Left, {}, "banner"},
    {"lblTitle",
     Kind::Label,
     "picTop",
     150,
     240,
     6405,
     435,
     -1,
     "Ostrel人事考勤系统数据库连接设置",
     Align::Left,
     {},
     {},
     {"", 18, true}},
    {"cmdExit", Kind::Button, "", 5940, 4980, 1455, 330, 8, "退出(&X)"},
    {"lblDesc_4", Kind::AutoSizeLabel, "", 150, 3630, 1170, 180, -1, "结果输出窗口:"},
};

// Panel 1 carries the busy and ready texts; 2 and 3 nothing the program sets.
constexpr int kSettingsPanels[] = {5000, 1440, 1440};

constexpr Control kProgressControls[] = {
    {"lblDesc",
     Kind::AutoSizeLabel,
     "",
     870,
     1170,
     1350,
     240,
     1,
     "正在更新系统....",
     Align::Left,
     {},
     {},
     {"MS Serif", 9.75}},
    {"lblTitle", Kind::WrappingLabel, "", 870, 210, 4695, 525, 0,
     "BrivaneOstrel人事考勤薪资系统的客户应用程序已经安装完成,系统正在为您配置数据连接服务,请等候。"},
    {"Image1", Kind::Picture, "", 150, 120, 525, 540, -1, {}, Align::Left, {}, "setup"},
};

const Window kSettingsWindow{"frmDovrel", "数据库连接设置",  7485,           5730, {"宋体", 9},
                             true,        kSettingsControls, kSettingsPanels};
const Window kProgressWindow{"frmSetupType", "Installshield Wizard", 5715, 1710, {}, false, kProgressControls, {}};

}  // namespace

const Window& settingsWindow() { return kSettingsWindow; }
const Window& progressWindow() { return kProgressWindow; }

const Control& controlNamed(const Window& window, std::string_view name) {
    for (const Control& control : window.controls)
        if (control.name == name) return control;
    throw std::logic_error("the window " + std::string(window.name) + " has no control " + std::string(name));
}

bool takesDisplayFont(Kind kind) {
    return kind == Kind::Label || kind == Kind::AutoSizeLabel || kind == Kind::WrappingLabel || kind == Kind::Button;
}

bool takesFocus(Kind kind) {
    switch (kind) {
    case Kind::ComboBox:
    case Kind::TextBox:
    case Kind::PasswordBox:
    case Kind::ResultBox:
    case Kind::Button:
    case Kind::Picture: return true;
    default: return false;
    }
}

}  // namespace dovrel::layout

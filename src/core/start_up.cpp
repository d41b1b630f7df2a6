#include "core/start_up.h"

#include <future>

#include "core/check_server.h"
#include "core/load_settings.h"
#include "core/localize.h"
#include "core/ui_font.h"
#include "db/odbc_drivers.h"
#include "platform/messages.h"
#include "platform/ui_host.h"

namespace dovrel {

void RunStartUp(StartUpWindows& windows) {
    // Loading the database driver takes as long as showing the progress
    // window; it is done beside it, and is over before the check connects.
    auto driverLoaded = std::async(std::launch::async, ado::odbc::preloadSqlServerDriver);
    uiHost().setBusyPointer(true);  // 1
    SelectUiFont();                 // 2
    windows.showProgressWindow();   // 3
    uiHost().processPendingEvents();
    if (const auto problem = LoadSettingsAtStart())  // 4 to 9
        showMessage(LocalizeText("无法读取连接设置，设置将显示为空：") + "\r\n" + *problem, MessageIcon::Exclamation);
    windows.runBesideProgressWindow([&driverLoaded] {
        driverLoaded.wait();
        CheckServerConnection(true);  // 10
    });
    windows.showSettingsWindow();    // 11
    windows.closeProgressWindow();   // 12
    uiHost().setBusyPointer(false);  // 13
}

}  // namespace dovrel

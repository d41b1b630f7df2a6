#include "ui/main_sequence.h"

#include <future>
#include <memory>

#include "db/odbc_drivers.h"
#include "core/localize.h"
#include "platform/messages.h"
#include "platform/ui_host.h"
#include "core/check_server.h"
#include "core/load_settings.h"
#include "core/ui_font.h"
#include "ui/frm_setup_type.h"
#include "ui/qt_message_sink.h"
#include "ui/qt_ui_host.h"
#include "ui/ui_thread.h"

namespace dovrel::ui {

void Main(const SettingsWindowStep& settingsWindowStep) {
    QtMessageSink messageBoxes;
    const platform::ScopedOverride<MessageSink> scopedMessages(messageBoxes);
    const platform::ScopedOverride<UiHost> scopedHost(QtUiHost::instance());

    // Loading the database driver takes as long as showing the progress
    // window; it is done beside it, and is over before the check connects.
    auto driverLoaded = std::async(std::launch::async, ado::odbc::preloadSqlServerDriver);
    uiHost().setBusyPointer(true);                     // 1
    SelectUiFont();                                    // 2
    auto progress = std::make_unique<FrmSetupType>();  // 3: modeless, painted before the work
    progress->show();
    uiHost().processPendingEvents();
    if (const auto problem = LoadSettingsAtStart())  // 4 to 9
        showMessage(LocalizeText("无法读取连接设置，设置将显示为空：") + "\r\n" + *problem, MessageIcon::Exclamation);
    // The check runs beside the progress window, which goes on painting.
    runOffUiThread(progress.get(), [&driverLoaded] {
        driverLoaded.wait();
        CheckServerConnection(true);  // 10
    });
    if (settingsWindowStep) settingsWindowStep();  // 11
    progress.reset();                              // 12
    uiHost().setBusyPointer(false);                // 13
}

}  // namespace dovrel::ui

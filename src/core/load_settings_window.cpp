#include "core/load_settings_window.h"

#include "core/busy.h"
#include "core/command_errors.h"
#include "core/run_state.h"
#include "core/server_history.h"

namespace dovrel {

bool LoadSettingsWindow(SettingsWindowControls& window) {
    RunState& state = runState();
    bool loaded = false;
    BeginBusy();
    try {
        for (const std::string& server : ReadServerHistory()) {
            if (!server.empty()) window.addServerEntry(server);
        }
        window.showConnectionSettings(state.ConnectionSettings);
        if (!state.ServerReachable) {
            TakeBackFieldsAfterUnreachableStart(window.fields());
            window.showConnectionSettings(state.ConnectionSettings);
        }
        window.ShowDiagnosis();
        window.LocalizeControls();
        loaded = true;
    } catch (...) {
        reportCommandError();
    }
    EndBusy();
    return loaded;
}

}  // namespace dovrel

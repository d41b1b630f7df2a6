// check: the start-up server check without windows, reported in the words
// of the settings window's diagnosis. Writes nothing to the store beyond
// what loading the settings writes on a first run.
#include <iostream>

#include "app/ctl/commands.h"
#include "app/ctl/exit_codes.h"
#include "core/run_state.h"
#include "core/check_server.h"
#include "core/diagnosis.h"
#include "core/load_settings.h"
#include "core/ui_font.h"

namespace dovrel::ctl {
namespace {

// The diagnosis breaks its lines for a text box; a terminal wants "\n".
std::string withTerminalLineEnds(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\r\n") == 0) {
            out += '\n';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

void addCheckCommand(CLI::App& app) {
    auto* cmd = app.add_subcommand(
        "check",
        "Ping the configured server, open its master database and look the configured database up, as the "
        "window program does at start; exit code 0 when server and database were both found, 3 when the server "
        "could not be reached or refused the login, 1 when the database is missing");
    cmd->callback([] {
        SelectUiFont();
        loadSettingsOrFail();
        CheckServerConnection(false);
        const RunState& state = runState();
        const std::string& database = state.ConnectionSettings.DatabaseName;
        const DiagnosisInput found{state.ConnectionSettings.ServerName, database, database, state.ServerReachable,
                                   state.DatabaseExists};
        std::cout << withTerminalLineEnds(BuildDiagnosisText(found)) << std::endl;
        if (!state.ServerReachable) throw CLI::RuntimeError(kExitServerUnreachable);
        if (!state.DatabaseExists) throw CLI::RuntimeError(kExitDataRefused);
    });
}

}  // namespace dovrel::ctl

// check: the start-up server check without windows, reported in the words
// of the settings window's diagnosis. Writes nothing to the store beyond
// what loading the settings writes on a first run.
#include <algorithm>
#include <chrono>
#include <iostream>
#include <vector>

#include "app/ctl/commands.h"
#include "app/ctl/exit_codes.h"
#include "app/ctl/json_output.h"
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
    auto json = std::make_shared<bool>(false);
    cmd->add_flag("--json", *json,
                  "Answer with one JSON object on stdout: server, database, reachable, database_exists, the "
                  "diagnosis lines, elapsed_ms");
    cmd->callback([json] {
        setJsonOutput(*json);
        SelectUiFont();
        loadSettingsOrFail();
        const auto start = std::chrono::steady_clock::now();
        CheckServerConnection(false);
        const double elapsed =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        const RunState& state = runState();
        const std::string& server = state.ConnectionSettings.ServerName;
        const std::string& database = state.ConnectionSettings.DatabaseName;
        const DiagnosisInput found{server, database, database, state.ServerReachable, state.DatabaseExists};
        const std::string diagnosis = withTerminalLineEnds(BuildDiagnosisText(found));
        if (*json) {
            std::vector<std::string> lines;
            for (std::size_t from = 0; from <= diagnosis.size();) {
                const std::size_t end = std::min(diagnosis.find('\n', from), diagnosis.size());
                lines.push_back(diagnosis.substr(from, end - from));
                from = end + 1;
            }
            printJson({{"server", server},
                       {"database", database},
                       {"reachable", state.ServerReachable},
                       {"database_exists", state.DatabaseExists},
                       {"diagnosis", lines},
                       {"elapsed_ms", elapsed}});
        } else {
            std::cout << diagnosis << std::endl;
        }
        if (!state.ServerReachable) throw CLI::RuntimeError(kExitServerUnreachable);
        if (!state.DatabaseExists) throw CLI::RuntimeError(kExitDataRefused);
    });
}

}  // namespace dovrel::ctl

// databases and connection-string: what the configured server holds, and
// the connection string the program forms for the stored settings.
#include <iostream>

#include "app/ctl/commands.h"
#include "app/ctl/exit_codes.h"
#include "app/ctl/json_output.h"
#include "core/build_connection_string.h"
#include "core/list_databases.h"
#include "core/run_state.h"
#include "db/ado.h"

namespace dovrel::ctl {
namespace {

void addDatabases(CLI::App& app) {
    auto* cmd = app.add_subcommand("databases", "The databases of the configured server, one a line, in name order");
    auto json = std::make_shared<bool>(false);
    cmd->add_flag("--json", *json, "Answer with one JSON object on stdout");
    cmd->callback([json] {
        setJsonOutput(*json);
        loadSettingsOrFail();
        const std::string& server = runState().ConnectionSettings.ServerName;
        try {
            const std::vector<std::string> names = QueryDatabaseNames();
            if (*json) return printJson({{"server", server}, {"databases", names}});
            for (const std::string& name : names) std::cout << name << "\n";
        } catch (const ado::DatabaseError& e) {
            if (*json) {
                nlohmann::json diagnostics = nlohmann::json::array();
                for (const ado::ErrorEntry& entry : e.entries())
                    diagnostics.push_back(
                        {{"sqlstate", entry.SQLState}, {"number", entry.Number}, {"message", entry.Description}});
                printJson({{"server", server},
                           {"error", {{"number", e.number()}, {"diagnostics", diagnostics}}},
                           {"exit_code", kExitServerUnreachable}});
            }
            std::cerr << "dovrelctl: cannot list the databases of server \"" << server << "\" (error " << e.number()
                      << ")\n";
            for (const ado::ErrorEntry& entry : e.entries())
                std::cerr << "  SQLSTATE " << entry.SQLState << ", number " << entry.Number << ": " << entry.Description
                          << "\n";
            throw CLI::RuntimeError(kExitServerUnreachable);
        }
        std::cout.flush();
    });
}

void addConnectionString(CLI::App& app) {
    auto* cmd = app.add_subcommand("connection-string",
                                   "The master connection string of the stored settings (password masked)");
    auto database = std::make_shared<bool>(false);
    auto reveal = std::make_shared<bool>(false);
    cmd->add_flag("--database", *database, "The form for the configured database instead of Master");
    cmd->add_flag("--reveal", *reveal, "Show the password in clear");
    cmd->callback([database, reveal] {
        loadSettingsOrFail();
        ConnectionSettingsRecord settings = runState().ConnectionSettings;
        if (!*reveal && !settings.UserPassword.empty()) settings.UserPassword = "********";
        std::cout << connectionStringFor(settings, !*database) << std::endl;
    });
}

}  // namespace

void addDataCommands(CLI::App& app) {
    addDatabases(app);
    addConnectionString(app);
}

}  // namespace dovrel::ctl

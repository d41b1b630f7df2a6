// databases and connection-string: what the configured server holds, and
// the connection string the program forms for the stored settings.
#include <iostream>
#include <memory>

#include "app/ctl/commands.h"
#include "db/ado.h"
#include "core/build_connection_string.h"
#include "db/connection_string.h"
#include "core/run_state.h"
#include "core/load_settings.h"

namespace dovrel::ctl {
namespace {

// The same listing query as the settings window's.
constexpr const char* kDatabaseListSql = "Select Name from SysDatabases order by Name";

void printFailure(const std::string& server, const ado::DatabaseError& error) {
    std::cerr << "dovrelctl: cannot list the databases of server \"" << server << "\" (error " << error.number()
              << ")\n";
    for (const ado::ErrorEntry& entry : error.entries())
        std::cerr << "  SQLSTATE " << entry.SQLState << ", number " << entry.Number << ": " << entry.Description
                  << "\n";
}

void addDatabases(CLI::App& app) {
    auto* cmd = app.add_subcommand("databases", "The databases of the configured server, one a line, in name order");
    cmd->callback([] {
        LoadSettingsAtStart();
        const std::string server = runState().ConnectionSettings.ServerName;
        ado::Recordset recordset;
        try {
            recordset.Open(kDatabaseListSql, BuildConnectionString(true));
            for (; !recordset.EOF_(); recordset.MoveNext()) std::cout << recordset.Fields(0).Value().value_or("") << "\n";
        } catch (const ado::DatabaseError& e) {
            printFailure(server, e);
            throw CLI::RuntimeError(1);
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
        LoadSettingsAtStart();
        ConnectionSettingsRecord settings = runState().ConnectionSettings;
        if (!*reveal && !settings.UserPassword.empty()) settings.UserPassword = "********";
        std::cout << buildConnectionString(settings, !*database) << std::endl;
    });
}

}  // namespace

void addDataCommands(CLI::App& app) {
    addDatabases(app);
    addConnectionString(app);
}

}  // namespace dovrel::ctl

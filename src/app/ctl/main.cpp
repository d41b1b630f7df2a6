// dovrelctl: Dovrel's command-line tool, for administrators who set up many
// workstations from scripts. A thin host over the same libraries as the
// window program; errors go to stderr with a non-zero exit code.
#include <CLI/CLI.hpp>

#include "app/ctl/commands.h"

int main(int argc, char** argv) {
    CLI::App app{"Dovrel: connection settings of the HR, attendance and payroll client"};
    app.require_subcommand(1);
    dovrel::ctl::addSettingsCommands(app);
    dovrel::ctl::addDataCommands(app);
    dovrel::ctl::addCheckCommand(app);
    dovrel::ctl::addExchangeCommands(app);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        // A command line that cannot be parsed exits with 2, as scripts expect
        // of a usage error; a command's own failure keeps its code.
        return code == 0 || dynamic_cast<const CLI::RuntimeError*>(&e) ? code : 2;
    }
    return 0;
}

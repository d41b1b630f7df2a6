// dovrelctl: Dovrel's command-line tool, for administrators who set up many
// workstations from scripts. A thin host over the same use cases as the
// window program; errors go to stderr with the exit codes of exit_codes.h.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>

#include "app/ctl/commands.h"
#include "app/ctl/exit_codes.h"
#include "platform/console.h"

int main(int argc, char** argv) {
    const dovrel::platform::ConsoleText console;
    std::string error;
    auto arguments = dovrel::platform::commandLineArguments(argc, argv, error);
    if (!arguments) {
        std::cerr << "dovrelctl: " << error << std::endl;
        return dovrel::ctl::kExitUsage;
    }
    CLI::App app{"Dovrel: connection settings of the HR, attendance and payroll client", "dovrelctl"};
    app.footer(std::string("A value that begins with \"-\" (a password such as -x9) is written with \"=\" "
                           "(--password=-x9), or after \"--\" where it stands alone (dovrelctl encrypt -- -x9).\n") +
               dovrel::ctl::kExitCodesHelp);
    app.set_version_flag("--version", std::string("dovrelctl ") + DOVREL_VERSION);
    app.require_subcommand(1);
    dovrel::ctl::addSettingsCommands(app);
    dovrel::ctl::addDataCommands(app);
    dovrel::ctl::addCheckCommand(app);
    dovrel::ctl::addExchangeCommands(app);
    try {
        std::reverse(arguments->begin(), arguments->end());  // CLI11 takes them last first
        app.parse(*arguments);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        // A command line that cannot be parsed exits with 2, as scripts expect
        // of a usage error; a command's own failure keeps its code.
        return code == 0 || dynamic_cast<const CLI::RuntimeError*>(&e) ? code : dovrel::ctl::kExitUsage;
    }
    return 0;
}

// dovrelctl: Dovrel's command-line tool, for administrators who set up many
// workstations from scripts. A thin host over the same libraries as the
// window program; errors go to stderr with a non-zero exit code.
#include <CLI/CLI.hpp>

#include "app/ctl/commands.h"
#include "platform/console.h"

int main(int argc, char** argv) {
    const dovrel::platform::ConsoleOutput console;
    const std::vector<std::string> arguments = dovrel::platform::commandLineArguments(argc, argv);
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
    CLI::App app{"Dovrel: connection settings of the HR, attendance and payroll client"};
    app.require_subcommand(1);
    dovrel::ctl::addSettingsCommands(app);
    dovrel::ctl::addDataCommands(app);
    dovrel::ctl::addCheckCommand(app);
    dovrel::ctl::addExchangeCommands(app);
    try {
        app.parse(static_cast<int>(pointers.size()), pointers.data());
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    }
    return 0;
}

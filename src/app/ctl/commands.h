#pragma once
// Each group of dovrelctl's sub-commands registers itself on the app.
#include <CLI/CLI.hpp>

namespace dovrel::ctl {

void addSettingsCommands(CLI::App& app);   // show, set, encrypt, decrypt, localize, setting
void addDataCommands(CLI::App& app);       // databases, connection-string
void addCheckCommand(CLI::App& app);       // check
void addExchangeCommands(CLI::App& app);   // import, check-file

}  // namespace dovrel::ctl

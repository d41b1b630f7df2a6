#pragma once
// Each group of dovrelctl's sub-commands registers itself on the app.
#include <CLI/CLI.hpp>
#include <string>

namespace dovrel::ctl {

void addSettingsCommands(CLI::App& app);  // show, set, encrypt, decrypt, localize, setting
void addDataCommands(CLI::App& app);      // databases, connection-string
void addCheckCommand(CLI::App& app);      // check
void addExchangeCommands(CLI::App& app);  // import, check-file

// Start-up's reading of the four settings; a store that cannot be read ends
// the command with its reason and exit code 4.
void loadSettingsOrFail();

// Writes "dovrelctl: " + `text` on stderr and ends the command with `code`.
[[noreturn]] void failWith(const std::string& text, int code);

}  // namespace dovrel::ctl

#pragma once
// The command line and the console of a command-line program. All text of
// the program is UTF-8; Windows gives the arguments in the ANSI code page
// and shows console output in the OEM code page, so there both go through
// the wide-character functions instead.
#include <memory>
#include <string>
#include <vector>

namespace dovrel::platform {

// The program's arguments as UTF-8, the program's name first. On Windows
// they are read from the wide command line; elsewhere argv is taken as is.
std::vector<std::string> commandLineArguments(int argc, char** argv);

// While it lives, std::cout and std::cerr take UTF-8 text and the console
// shows it: on Windows a console gets it through WriteConsoleW and a file
// or pipe the UTF-8 bytes unchanged; elsewhere nothing needs changing.
class ConsoleOutput {
public:
    ConsoleOutput();
    ~ConsoleOutput();
    ConsoleOutput(const ConsoleOutput&) = delete;
    ConsoleOutput& operator=(const ConsoleOutput&) = delete;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace dovrel::platform

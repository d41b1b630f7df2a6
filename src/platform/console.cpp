// Linux: arguments and terminals are UTF-8 already.
#include "platform/console.h"

namespace dovrel::platform {

std::vector<std::string> commandLineArguments(int argc, char** argv) { return {argv, argv + argc}; }

struct ConsoleOutput::State {};
ConsoleOutput::ConsoleOutput() = default;
ConsoleOutput::~ConsoleOutput() = default;

}  // namespace dovrel::platform

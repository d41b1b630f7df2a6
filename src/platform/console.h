#pragma once
// The command line's text: arguments come in, and messages go out, in the
// console's own encoding, while the program works in UTF-8 throughout. On
// Linux that encoding is the locale's character set (LC_ALL, LC_CTYPE,
// LANG), zh_CN.GBK for example.
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace dovrel::platform {

// The arguments (without the program's name) as UTF-8. nullopt, with the
// reason in `error`, when one is not text in the console's encoding.
std::optional<std::vector<std::string>> commandLineArguments(int argc, char** argv, std::string& error);

// While it lives, std::cout and std::cerr take UTF-8 and write the
// console's encoding; a character it cannot show becomes "?".
class ConsoleText {
public:
    ConsoleText();
    ~ConsoleText();
    ConsoleText(const ConsoleText&) = delete;
    ConsoleText& operator=(const ConsoleText&) = delete;

private:
    struct Streams;
    std::unique_ptr<Streams> streams_;
};

}  // namespace dovrel::platform

#pragma once
// Runs dovrelctl with arguments and environment additions; captures output.
#include <string>
#include <vector>

namespace dovrel::test {

struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

ProcessResult runDovrelctl(const std::vector<std::string>& args, const std::vector<std::string>& env = {});

// True when the locale `name` (zh_CN.GBK, ...) is generated on this machine.
bool localeInstalled(const std::string& name);

}  // namespace dovrel::test

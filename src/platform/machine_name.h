#pragma once
#include <optional>
#include <string>

namespace dovrel::platform {

// The computer name (the host name on Linux), nullopt when it cannot be had.
std::optional<std::string> computerName();

}  // namespace dovrel::platform

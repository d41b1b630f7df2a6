#include "platform/machine_name.h"

#include <unistd.h>

#include <climits>

namespace dovrel::platform {

std::optional<std::string> computerName() {
    char buffer[256] = {};
    if (gethostname(buffer, sizeof buffer - 1) != 0 || buffer[0] == '\0') return std::nullopt;
    return std::string(buffer);
}

}  // namespace dovrel::platform

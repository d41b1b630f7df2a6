#include "platform/machine_name.h"

#include <windows.h>

#include "platform/win/wide_text.h"

namespace dovrel::platform {

std::optional<std::string> computerName() {
    wchar_t buffer[256] = {};
    DWORD size = 256;
    if (!GetComputerNameW(buffer, &size) || size == 0) return std::nullopt;
    return win::toUtf8(std::wstring_view(buffer, size));
}

}  // namespace dovrel::platform

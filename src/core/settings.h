#pragma once
// Writing the machine-wide settings and the computer name.
#include <cstdint>
#include <string>

namespace dovrel {

// Writes one value under HKEY_LOCAL_MACHINE\keyPath. Returns 0, 1010 for
// an empty key path or value name, or the store's error code.
int32_t WriteSetting(const std::string& keyPath, const std::string& valueName, const std::string& value);

// The local computer name, or the empty text when it cannot be had.
std::string GetMachineName();

}  // namespace dovrel

#pragma once
#include <cstdint>
#include <string>

namespace dovrel {

// Reads one value under HKEY_LOCAL_MACHINE\keyPath into `result`. A value
// that is missing or empty is replaced by `defaultValue`, which is also
// written back to the store. Returns 0, 1010 for an empty key path or value
// name, or the store's error code (then `result` stays empty and the
// default is neither applied nor stored).
int32_t ReadSetting(const std::string& keyPath, const std::string& valueName, std::string& result,
                    const std::string& defaultValue);

}  // namespace dovrel

#pragma once
// The machine-wide settings store. On Windows it is the registry's
// HKEY_LOCAL_MACHINE (platform/win/registry_settings.h). On Linux it is one
// text file, by default /etc/dovrel/registry; the environment variable
// DOVREL_REGISTRY names another file (sandbox runs, tests).
//
// Key paths and value names compare without regard to letter case and keep
// the spelling first written. Results are Windows error codes: 0 success,
// 2 value not found, 5 access denied, 87 a value that is not valid UTF-8,
// 1009 store file damaged (it is then never rewritten), 1010 empty key path
// or value name.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/seam.h"

namespace dovrel::platform {

namespace code {
inline constexpr int32_t Success = 0;
inline constexpr int32_t FileNotFound = 2;
inline constexpr int32_t AccessDenied = 5;
inline constexpr int32_t InvalidParameter = 87;  // text that is not valid UTF-8
inline constexpr int32_t DiskFull = 112;
inline constexpr int32_t BadDatabase = 1009;  // the store cannot be parsed
inline constexpr int32_t BadKey = 1010;
inline constexpr int32_t IoFailed = 1016;  // the registry's I/O failure code
}  // namespace code

class SettingsBackend {
public:
    virtual ~SettingsBackend() = default;
    // Opens the key, creating it (and the keys above it) when missing.
    virtual int32_t createKey(std::string_view keyPath) = 0;
    // Reads a value; `value` is nullopt when the value does not exist
    // (result FileNotFound). The text may hold NUL characters.
    virtual int32_t queryValue(std::string_view keyPath, std::string_view name, std::optional<std::string>& value) = 0;
    // Writes a value, creating key and value when missing.
    virtual int32_t setValue(std::string_view keyPath, std::string_view name, std::string_view value) = 0;
    // Why the store cannot be read, in words that name it and the place of
    // the damage; nullopt when it can (a store not created yet can).
    virtual std::optional<std::string> problem() { return std::nullopt; }
};

#ifndef _WIN32
// The store file in use: $DOVREL_REGISTRY, or the machine-wide default.
std::string settingsFilePath();
inline constexpr const char* kDefaultSettingsFile = "/etc/dovrel/registry";
#endif

// The machine's store: seam<SettingsBackend>(), the registry on Windows and
// the file on settingsFilePath() on Linux, unless another is installed.
SettingsBackend& machineSettings();

}  // namespace dovrel::platform

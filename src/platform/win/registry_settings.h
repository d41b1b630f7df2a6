#pragma once
// The settings store on Windows: the registry under HKEY_LOCAL_MACHINE, in
// its 32-bit view, where the application's existing 32-bit programs keep
// these values (on 64-bit Windows: HKLM\Software\WOW6432Node\...). Values
// are REG_SZ, written and read with the wide-character functions. Results
// are the registry's own error codes (5 without the right to write HKLM).
#include <windows.h>

#include "platform/settings_backend.h"

namespace dovrel::platform::win {

// The registry functions the store calls. Tests replace them to play a
// user without the right to write HKEY_LOCAL_MACHINE.
struct RegistryCalls {
    decltype(&RegCreateKeyExW) createKey = RegCreateKeyExW;
    decltype(&RegOpenKeyExW) openKey = RegOpenKeyExW;
    decltype(&RegQueryValueExW) queryValue = RegQueryValueExW;
    decltype(&RegSetValueExW) setValue = RegSetValueExW;
};

class RegistrySettingsBackend : public SettingsBackend {
public:
    explicit RegistrySettingsBackend(RegistryCalls calls = {}) : calls_(calls) {}

    int32_t createKey(std::string_view keyPath) override;
    int32_t queryValue(std::string_view keyPath, std::string_view name, std::optional<std::string>& value) override;
    int32_t setValue(std::string_view keyPath, std::string_view name, std::string_view value) override;

private:
    RegistryCalls calls_;
};

// The registry view every key of the store is opened in.
inline constexpr REGSAM kSettingsView = KEY_WOW64_32KEY;

}  // namespace dovrel::platform::win

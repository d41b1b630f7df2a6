#include "platform/win/registry_settings.h"

#include <vector>

#include "platform/settings_document.h"
#include "platform/win/wide_text.h"

namespace dovrel::platform::win {
namespace {

// Text that is not UTF-8 cannot be named or stored, as in the file store.
constexpr int32_t kNotUnicode = code::InvalidParameter;

class KeyHandle {
public:
    KeyHandle() = default;
    ~KeyHandle() {
        if (key_) RegCloseKey(key_);
    }
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;
    HKEY* receive() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// The key path as the registry takes it: the same compare rule as the file
// store ("SoftWare\\Tovix\" is "SoftWare\Tovix"), without empty parts.
std::optional<std::wstring> registryPath(std::string_view keyPath) {
    std::string path;
    for (std::size_t begin = 0; begin <= keyPath.size();) {
        std::size_t end = keyPath.find('\\', begin);
        if (end == std::string_view::npos) end = keyPath.size();
        if (end > begin) {
            if (!path.empty()) path += '\\';
            path += keyPath.substr(begin, end - begin);
        }
        begin = end + 1;
    }
    return toWide(path);
}

}  // namespace

int32_t RegistrySettingsBackend::createKey(std::string_view keyPath) {
    if (!isStorableKeyPath(keyPath)) return code::BadKey;
    const auto path = registryPath(keyPath);
    if (!path) return kNotUnicode;
    KeyHandle key;
    return calls_.createKey(HKEY_LOCAL_MACHINE, path->c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_QUERY_VALUE | kSettingsView, nullptr, key.receive(), nullptr);
}

int32_t RegistrySettingsBackend::queryValue(std::string_view keyPath, std::string_view name,
                                            std::optional<std::string>& value) {
    value.reset();
    if (!isStorableKeyPath(keyPath)) return code::BadKey;
    const auto path = registryPath(keyPath);
    const auto wideName = toWide(name);
    if (!path || !wideName) return kNotUnicode;
    if (wideName->empty()) return code::FileNotFound;  // the key's unnamed value is none of ours
    KeyHandle key;
    if (LONG rc = calls_.openKey(HKEY_LOCAL_MACHINE, path->c_str(), 0, KEY_QUERY_VALUE | kSettingsView, key.receive());
        rc != ERROR_SUCCESS) {
        return rc;
    }
    std::vector<wchar_t> data;
    for (;;) {
        DWORD size = 0;
        if (LONG rc = calls_.queryValue(key.get(), wideName->c_str(), nullptr, nullptr, nullptr, &size);
            rc != ERROR_SUCCESS) {
            return rc;
        }
        data.assign(size / sizeof(wchar_t) + 1, L'\0');
        size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        const LONG rc = calls_.queryValue(key.get(), wideName->c_str(), nullptr, nullptr,
                                          reinterpret_cast<BYTE*>(data.data()), &size);
        if (rc == ERROR_MORE_DATA) continue;  // it grew in between
        if (rc != ERROR_SUCCESS) return rc;
        // A string is stored with one terminating NUL; one stored without
        // it is taken whole. An odd last byte is no character.
        std::wstring_view text(data.data(), size / sizeof(wchar_t));
        if (!text.empty() && text.back() == L'\0') text.remove_suffix(1);
        value = toUtf8(text);
        return code::Success;
    }
}

int32_t RegistrySettingsBackend::setValue(std::string_view keyPath, std::string_view name, std::string_view value) {
    if (!isStorableKeyPath(keyPath) || name.empty()) return code::BadKey;
    const auto path = registryPath(keyPath);
    const auto wideName = toWide(name);
    const auto text = toWide(value);
    if (!path || !wideName || !text) return kNotUnicode;
    if (text->size() >= MAXDWORD / sizeof(wchar_t)) return ERROR_INVALID_PARAMETER;
    KeyHandle key;
    if (LONG rc = calls_.createKey(HKEY_LOCAL_MACHINE, path->c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                   KEY_SET_VALUE | kSettingsView, nullptr, key.receive(), nullptr);
        rc != ERROR_SUCCESS) {
        return rc;
    }
    // A non-empty string goes with its terminating NUL, an empty one as no bytes at all.
    const DWORD size = text->empty() ? 0 : static_cast<DWORD>((text->size() + 1) * sizeof(wchar_t));
    return calls_.setValue(key.get(), wideName->c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text->c_str()), size);
}

}  // namespace dovrel::platform::win

namespace dovrel::platform {
template <>
Seam<SettingsBackend>& seam<SettingsBackend>() {
    static Seam<SettingsBackend> seam([]() -> SettingsBackend& {
        static win::RegistrySettingsBackend registry;
        return registry;
    });
    return seam;
}

SettingsBackend& machineSettings() { return seam<SettingsBackend>().get(); }

}  // namespace dovrel::platform

#include "core/read_setting.h"

#include "core/settings.h"
#include "platform/codepage.h"
#include "platform/settings_backend.h"

namespace dovrel {
namespace {

// The byte size the registry reports for a stored string: its bytes in the
// ANSI code page plus the terminating NUL, 0 for an empty value.
size_t storedSize(const std::optional<std::string>& value) {
    if (!value || value->empty()) return 0;
    auto bytes = platform::utf8ToCodePage(*value, platform::ansiCodePage());
    return (bytes ? bytes->size() : value->size()) + 1;
}

}  // namespace

int32_t ReadSetting(const std::string& keyPath, const std::string& valueName, std::string& result,
                    const std::string& defaultValue) {
    result.clear();
    if (keyPath.empty() || valueName.empty()) return platform::code::BadKey;
    auto& store = platform::machineSettings();
    if (int32_t code = store.createKey(keyPath); code != platform::code::Success) return code;

    std::optional<std::string> value;
    store.queryValue(keyPath, valueName, value);  // only the size of this first look counts
    if (storedSize(value) < 2) {
        WriteSetting(keyPath, valueName, defaultValue);
        result = defaultValue;
        return platform::code::Success;
    }

    if (int32_t code = store.queryValue(keyPath, valueName, value); code != platform::code::Success) return code;
    result = value->substr(0, value->find('\0'));
    return platform::code::Success;
}

}  // namespace dovrel

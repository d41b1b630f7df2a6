#include "core/settings.h"

#include "platform/codepage.h"
#include "platform/machine_name.h"
#include "platform/settings_backend.h"

namespace dovrel {

int32_t WriteSetting(const std::string& keyPath, const std::string& valueName, const std::string& value) {
    if (keyPath.empty() || valueName.empty()) return platform::code::BadKey;
    if (!platform::isValidUtf8(value)) return platform::code::InvalidParameter;
    auto& store = platform::machineSettings();
    if (int32_t code = store.createKey(keyPath); code != platform::code::Success) return code;
    return store.setValue(keyPath, valueName, value);
}

std::string GetMachineName() {
    // What Windows reports as the computer name: the host name without its
    // domain, in capitals, at most 15 characters.
    auto name = platform::computerName();
    if (!name) return {};
    std::string shortName = name->substr(0, name->find('.'));
    if (shortName.size() > 15) shortName.resize(15);
    for (char& c : shortName)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return shortName;
}

}  // namespace dovrel

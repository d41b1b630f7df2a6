#include "core/save_settings.h"

#include "core/busy.h"
#include "core/credentials.h"
#include "core/localize.h"
#include "core/settings.h"
#include "core/settings_schema.h"
#include "platform/messages.h"
#include "platform/settings_backend.h"
#include "platform/text.h"

namespace dovrel {

std::vector<SaveFailure> SaveSettings(const SettingsToSave& settings) {
    const auto trimmed = [](const std::optional<std::string>& value) {
        return value ? std::optional(trimSpaces(*value)) : std::nullopt;
    };
    std::vector<std::pair<const char*, std::optional<std::string>>> values = {
        {value_name::ServerName, trimmed(settings.server)},
        {value_name::Database, trimmed(settings.database)},
        {value_name::User, trimmed(settings.user)},
        {value_name::Password, settings.password}};
    // A credential the cipher cannot give back refuses the whole save: the
    // settings are never left half written.
    std::vector<SaveFailure> failures;
    if (!settings.credentialsAreCipherText && !settings.storeCredentialsInClear) {
        for (auto& [name, value] : values) {
            if (!value || (name != value_name::User && name != value_name::Password)) continue;
            value = StorableCipherText(*value);
            if (!value) failures.push_back({name, kNotRestorable});
        }
    }
    if (!failures.empty()) return failures;
    for (const auto& [name, value] : values) {
        if (!value) continue;
        if (const int32_t code = WriteSetting(kSettingsKey, name, *value); code != 0) failures.push_back({name, code});
    }
    return failures;
}

std::string StoreCodeReason(int32_t code) {
    switch (code) {
    case kNotRestorable: return LocalizeText("含有不能加密保存的字符");
    case platform::code::AccessDenied: return LocalizeText("拒绝访问");
    case platform::code::InvalidParameter: return LocalizeText("不是有效的文字");
    case platform::code::DiskFull: return LocalizeText("磁盘空间不足");
    case platform::code::BadDatabase: return LocalizeText("设置文件已损坏");
    case platform::code::BadKey: return LocalizeText("键或值名为空");
    default: return LocalizeText("读写失败");
    }
}

std::string SaveOutcomeText(const std::vector<SaveFailure>& failures) {
    if (failures.empty()) return LocalizeText("保存成功！");
    std::string text = LocalizeText("保存失败：");
    for (std::size_t i = 0; i < failures.size(); ++i) {
        if (i > 0) text += ", ";
        const SaveFailure& failure = failures[i];
        const std::string code = failure.code == kNotRestorable ? "" : std::to_string(failure.code) + " ";
        text += failure.valueName + " (" + code + StoreCodeReason(failure.code) + ")";
    }
    return text;
}

void SaveFromWindow(const ConnectionFields& fields, bool credentialsAreCipherText) {
    SettingsToSave settings;
    settings.server = fields.server;
    settings.database = fields.database;
    settings.user = fields.user;
    settings.password = fields.password;
    settings.credentialsAreCipherText = credentialsAreCipherText;
    BeginBusy();
    const std::vector<SaveFailure> failures = SaveSettings(settings);
    EndBusy();
    showMessage(SaveOutcomeText(failures), failures.empty() ? MessageIcon::Information : MessageIcon::Critical);
}

}  // namespace dovrel

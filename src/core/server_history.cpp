#include "core/server_history.h"

#include "core/combo_select.h"
#include "core/run_state.h"
#include "core/settings.h"
#include "platform/text.h"
#include "core/read_setting.h"
#include "core/settings_schema.h"

namespace dovrel {

ServerHistory nextServerHistory(const std::string& previous, const std::string& current,
                                const std::vector<std::string>& listEntries) {
    std::string second, third, fourth;
    if (!equalsIgnoreCase(previous, current)) second = previous;
    for (const std::string& entry : listEntries) {
        if (equalsIgnoreCase(entry, current) || equalsIgnoreCase(entry, fourth) || equalsIgnoreCase(entry, second) ||
            equalsIgnoreCase(entry, third)) {
            continue;
        }
        if (second.empty()) {
            second = entry;
        } else if (third.empty()) {
            third = entry;
        } else if (fourth.empty()) {
            fourth = entry;
            break;
        }
    }
    return {current, second, third, fourth};
}

int32_t WriteServerHistory(const ServerHistory& history) {
    int32_t first = 0;
    for (std::size_t i = 0; i < history.size(); ++i) {
        const int32_t code = WriteSetting(kSettingsKey, value_name::ServerHistory[i], history[i]);
        if (first == 0) first = code;
    }
    return first;
}

ServerHistory ReadServerHistory() {
    ServerHistory history;
    for (std::size_t i = 0; i < history.size(); ++i) {
        ReadSetting(kSettingsKey, value_name::ServerHistory[i], history[i], default_value::HistoryEntry);
    }
    return history;
}

}  // namespace dovrel

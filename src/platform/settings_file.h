#pragma once
// The settings store kept in one text file (see settings_document.h for
// the format). Every write happens under an exclusive lock on a lock file
// beside the store, to a temporary file that is flushed and renamed over
// the store, so that concurrent writers lose no update and a crash leaves
// either the old or the new file. A file that cannot be parsed is never
// rewritten: every operation answers 1009 and leaves it as it is.
#include <optional>
#include <string>

#include "platform/settings_backend.h"

namespace dovrel::platform {

class FileSettingsBackend : public SettingsBackend {
public:
    // `path` fixed, or nullopt to follow settingsFilePath() on every call.
    explicit FileSettingsBackend(std::optional<std::string> path = std::nullopt) : path_(std::move(path)) {}

    int32_t createKey(std::string_view keyPath) override;
    int32_t queryValue(std::string_view keyPath, std::string_view name, std::optional<std::string>& value) override;
    int32_t setValue(std::string_view keyPath, std::string_view name, std::string_view value) override;

    std::string path() const;

private:
    std::optional<std::string> path_;
};

}  // namespace dovrel::platform

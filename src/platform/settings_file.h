#pragma once
// The settings store kept in one text file (see settings_document.h for
// the format). Every write happens under an exclusive lock on a lock file
// beside the store, to a temporary file that is flushed and renamed over
// the store, so that concurrent writers lose no update and a crash leaves
// either the old or the new file. A file that cannot be parsed is never
// rewritten: every operation answers 1009 and leaves it as it is.
//
// The store keeps its protection: a rewritten file has the old one's mode,
// and its owner and group where the writer may give them (root or the
// owner; another writer keeps at least the group). A new file gets mode
// 0600, or 0640 in a folder with the set-group-ID bit (the administrators'
// folder). A store that is a symbolic link is written in its target's
// folder, and the link stays a link.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/settings_backend.h"

namespace dovrel::platform {

class SettingsDocument;

class FileSettingsBackend : public SettingsBackend {
public:
    // `path` fixed, or nullopt to follow settingsFilePath() on every call.
    explicit FileSettingsBackend(std::optional<std::string> path = std::nullopt);
    ~FileSettingsBackend() override;
    FileSettingsBackend(const FileSettingsBackend&) = delete;
    FileSettingsBackend& operator=(const FileSettingsBackend&) = delete;

    int32_t createKey(std::string_view keyPath) override;
    int32_t queryValue(std::string_view keyPath, std::string_view name, std::optional<std::string>& value) override;
    int32_t setValue(std::string_view keyPath, std::string_view name, std::string_view value) override;
    std::optional<std::string> problem() override;

    std::string path() const;

private:
    struct Cache;
    struct Loaded {
        std::shared_ptr<const SettingsDocument> document;  // null when the file cannot be used
        int32_t code = 0;
        std::optional<std::string> problem;
    };
    // The file's document, read again only when the file changed.
    Loaded load();
    // Runs `change` on the document under the lock and writes the result
    // when it reports a change.
    int32_t modify(const std::function<bool(SettingsDocument&)>& change);

    std::optional<std::string> path_;
    std::unique_ptr<Cache> cache_;
};

}  // namespace dovrel::platform

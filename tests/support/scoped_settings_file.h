#pragma once
// An isolated settings store for one test: a file in a fresh temporary
// folder, installed as the machine's store (and named in DOVREL_REGISTRY
// for child processes) until the object goes away.
#include <memory>
#include <optional>
#include <string>

#include "platform/settings_file.h"
#include "support/temp_files.h"

namespace dovrel::test {

class ScopedSettingsFile {
public:
    ScopedSettingsFile();
    ~ScopedSettingsFile();
    ScopedSettingsFile(const ScopedSettingsFile&) = delete;
    ScopedSettingsFile& operator=(const ScopedSettingsFile&) = delete;

    const std::string& path() const { return path_; }
    const std::string& folder() const { return folder_.path(); }
    // The file's bytes (empty when it does not exist).
    std::string contents() const;
    void setContents(const std::string& text) const;
    // A value of the program's key read straight from the file.
    std::optional<std::string> value(const std::string& name) const;

private:
    TempFolder folder_;
    std::string path_;
    std::optional<std::string> previousEnv_;
    platform::FileSettingsBackend backend_;
    platform::SettingsBackend* previous_;
};

}  // namespace dovrel::test

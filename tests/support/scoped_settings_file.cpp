#include "support/scoped_settings_file.h"

#include "core/run_state.h"
#include "core/settings_schema.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace dovrel::test {

ScopedSettingsFile::ScopedSettingsFile()
    : folder_("dovrel-settings-"), path_(folder_.path("registry")), backend_(path_) {
    if (const char* env = std::getenv("DOVREL_REGISTRY")) previousEnv_ = env;
    setenv("DOVREL_REGISTRY", path_.c_str(), 1);
    previous_ = platform::seam<platform::SettingsBackend>().install(&backend_);
}

ScopedSettingsFile::~ScopedSettingsFile() {
    platform::seam<platform::SettingsBackend>().install(previous_);
    if (previousEnv_)
        setenv("DOVREL_REGISTRY", previousEnv_->c_str(), 1);
    else
        unsetenv("DOVREL_REGISTRY");
}

std::string ScopedSettingsFile::contents() const {
    std::ifstream in(path_, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void ScopedSettingsFile::setContents(const std::string& text) const {
    std::ofstream(path_, std::ios::binary | std::ios::trunc) << text;
}

std::optional<std::string> ScopedSettingsFile::value(const std::string& name) const {
    std::optional<std::string> result;
    platform::FileSettingsBackend(path_).queryValue(kSettingsKey, name, result);
    return result;
}

}  // namespace dovrel::test

#include "support/scoped_settings_file.h"

#include "core/run_state.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>


namespace dovrel::test {
namespace {

std::string makeTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "dovrel-settings-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
    return pattern;
}

}  // namespace

ScopedSettingsFile::ScopedSettingsFile()
    : folder_(makeTempFolder()), path_(folder_ + "/registry"), backend_(path_) {
    if (const char* env = std::getenv("DOVREL_REGISTRY")) previousEnv_ = env;
    setenv("DOVREL_REGISTRY", path_.c_str(), 1);
    previous_ = platform::setMachineSettings(&backend_);
}

ScopedSettingsFile::~ScopedSettingsFile() {
    platform::setMachineSettings(previous_);
    if (previousEnv_) setenv("DOVREL_REGISTRY", previousEnv_->c_str(), 1);
    else unsetenv("DOVREL_REGISTRY");
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
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

#include "support/temp_files.h"

#ifdef _WIN32
#include <windows.h>

#include <random>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <utility>

namespace dovrel::test {

#ifdef _WIN32
TempFolder::TempFolder(const std::string& prefix) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto folder = std::filesystem::temp_directory_path() / (prefix + std::to_string(random()));
        if (std::filesystem::create_directory(folder)) {
            folder_ = folder.string();
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}
#else
TempFolder::TempFolder(const std::string& prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
    folder_ = pattern;
}
#endif

TempFolder::~TempFolder() {
    std::error_code ignored;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
}

std::string TempFolder::release() { return std::exchange(folder_, std::string()); }

std::string TempFolder::write(const std::string& name, const std::string& bytes) const {
    std::string file = path(name);
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + file);
    return file;
}

#ifdef _WIN32
int openFileCount() {
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return static_cast<int>(count);
}
#else
int openFileCount() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
    return count;
}
#endif

}  // namespace dovrel::test

#include "platform/win/opencc_data.h"

#include <windows.h>

#include <mutex>
#include <stdexcept>
#include <string>

namespace dovrel::platform::win {
namespace {

// Makes `folder` the current directory for the object's lifetime.
class CurrentDirectoryInside {
public:
    explicit CurrentDirectoryInside(const std::filesystem::path& folder) {
        const DWORD length = GetCurrentDirectoryW(0, nullptr);
        if (length == 0) return;
        previous_.resize(length);
        if (GetCurrentDirectoryW(length, previous_.data()) + 1 != length) return;
        previous_.resize(length - 1);
        entered_ = SetCurrentDirectoryW(folder.c_str()) != 0;
    }
    ~CurrentDirectoryInside() {
        if (entered_) SetCurrentDirectoryW(previous_.c_str());
    }
    CurrentDirectoryInside(const CurrentDirectoryInside&) = delete;
    CurrentDirectoryInside& operator=(const CurrentDirectoryInside&) = delete;
    bool entered() const { return entered_; }

private:
    std::wstring previous_;
    bool entered_ = false;
};

}  // namespace

std::filesystem::path programFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return std::filesystem::path(path).parent_path();
        }
        path.resize(path.size() * 2);
    }
}

std::filesystem::path openCcDataFolder() { return programFolder() / L"opencc"; }

std::unique_ptr<opencc::SimpleConverter> openS2twConverter(const std::filesystem::path& folder) {
    // OpenCC built with MinGW opens its files by narrow names, which Windows
    // reads in the ANSI code page, so a folder whose name that code page
    // cannot hold (a Chinese name under code page 1252) would not open. The
    // files are therefore opened by their plain names from inside the
    // folder; the current directory is the process's, so loads take turns
    // and nothing else of the program opens relative names meanwhile.
    static std::mutex loading;
    std::lock_guard lock(loading);
    CurrentDirectoryInside inside(folder);
    if (folder.empty() || !inside.entered()) throw std::runtime_error("no OpenCC data folder beside the program");
    return std::make_unique<opencc::SimpleConverter>("s2tw.json");
}

}  // namespace dovrel::platform::win

namespace dovrel::platform {

std::unique_ptr<opencc::SimpleConverter> openS2twConverter() { return win::openS2twConverter(win::openCcDataFolder()); }

}  // namespace dovrel::platform

#pragma once
// OpenCC's data on Windows ships with the program: the folder "opencc"
// beside the .exe holds s2tw.json and the dictionaries it names. No other
// folder is looked in.
#include <filesystem>

#include "platform/opencc_data.h"

namespace dovrel::platform::win {

// The folder of the running .exe.
std::filesystem::path programFolder();
// programFolder() / "opencc".
std::filesystem::path openCcDataFolder();

// The s2tw converter from the data in `folder`; throws when it cannot be loaded.
std::unique_ptr<opencc::SimpleConverter> openS2twConverter(const std::filesystem::path& folder);

}  // namespace dovrel::platform::win

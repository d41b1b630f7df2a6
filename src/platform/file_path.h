#pragma once
// File names are UTF-8 inside the program. Windows would read a narrow name
// in the ANSI code page, so there a name reaches the file system as a wide
// path.
#include <filesystem>
#include <string_view>

namespace dovrel::platform {

// The path that the UTF-8 file name `utf8` names (on Windows an empty path
// when the name is not UTF-8, which no file matches).
std::filesystem::path filePath(std::string_view utf8);

}  // namespace dovrel::platform

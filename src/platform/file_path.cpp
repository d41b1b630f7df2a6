// Linux: file names are bytes, taken as they are.
#include "platform/file_path.h"

#include <string>

namespace dovrel::platform {

std::filesystem::path filePath(std::string_view utf8) { return std::filesystem::path(std::string(utf8)); }

}  // namespace dovrel::platform

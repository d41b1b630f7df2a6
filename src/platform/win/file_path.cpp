#include "platform/file_path.h"

#include "platform/win/wide_text.h"

namespace dovrel::platform {

std::filesystem::path filePath(std::string_view utf8) { return std::filesystem::path(win::toWide(utf8).value_or(L"")); }

}  // namespace dovrel::platform

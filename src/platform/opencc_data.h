#pragma once
// Where OpenCC's Simplified-to-Traditional conversion comes from on this
// system. The Taiwan-standard configuration (s2tw) is used, so that the
// characters come out as Traditional machines show them (为 and 爲 become 為).
#include <opencc/opencc.h>

#include <memory>

namespace dovrel::platform {

// The s2tw converter from this system's OpenCC data; throws when it cannot
// be loaded.
std::unique_ptr<opencc::SimpleConverter> openS2twConverter();

}  // namespace dovrel::platform

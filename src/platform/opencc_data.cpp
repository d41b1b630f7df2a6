// On Linux the data is the one the distribution installs (/usr/share/opencc),
// which OpenCC finds by itself.
#include "platform/opencc_data.h"

namespace dovrel::platform {

std::unique_ptr<opencc::SimpleConverter> openS2twConverter() {
    return std::make_unique<opencc::SimpleConverter>("s2tw.json");
}

}  // namespace dovrel::platform

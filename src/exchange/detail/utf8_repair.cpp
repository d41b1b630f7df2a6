#include "exchange/detail/utf8_repair.h"

#include "platform/codepage.h"

namespace dovrel::exchange::detail {

std::string repairUtf8(std::string_view bytes) {
    constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        const std::string_view character = bytes.substr(i, length);
        if (character.size() == length && (length == 1 || platform::isValidUtf8(character))) {
            out += character;
            i += length;
        } else {
            out += kReplacement;   // one for each byte, so a cut character cannot swallow what follows
            ++i;
        }
    }
    return out;
}

}  // namespace dovrel::exchange::detail

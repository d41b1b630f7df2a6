#include "exchange/detail/utf8_repair.h"

#include "exchange/detail/text_decoder.h"
#include "platform/utf8_check.h"

namespace dovrel::exchange::detail {

std::string repairUtf8(std::string_view bytes, std::size_t& replaced, std::size_t& firstReplaced) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    replaced = 0;
    firstReplaced = std::string::npos;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = platform::utf8::sequenceLength(bytes, i);
        if (length > 0) {
            out += bytes.substr(i, length);
            i += length;
        } else {
            if (replaced++ == 0) firstReplaced = out.size();
            out += kReplacementCharacter;   // one for each byte, so a cut character cannot swallow what follows
            ++i;
        }
    }
    return out;
}

}  // namespace dovrel::exchange::detail

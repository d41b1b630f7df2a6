#include "exchange/detail/refusal.h"

namespace dovrel::exchange::detail {

std::string echo(std::string_view text) {
    if (text.size() <= kEchoLimit) return std::string(text);
    std::size_t cut = kEchoLimit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return std::string(text.substr(0, cut)) + "…";
}

}  // namespace dovrel::exchange::detail

#include "exchange/detail/utf8_repair.h"

#include "platform/utf8_check.h"

namespace dovrel::exchange::detail {

std::string repairUtf8(std::string_view bytes, std::size_t& replaced, std::size_t& firstReplaced) {
    return platform::utf8::repaired(bytes, &replaced, &firstReplaced);
}

}  // namespace dovrel::exchange::detail

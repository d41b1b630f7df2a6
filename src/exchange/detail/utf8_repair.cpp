#include "exchange/detail/utf8_repair.h"

#include "platform/utf8_check.h"

namespace dovrel::exchange::detail {

std::string repairUtf8(std::string_view bytes) { return platform::utf8::repaired(bytes); }

}  // namespace dovrel::exchange::detail

#include "exchange/detail/localized.h"

namespace dovrel::exchange::detail {
namespace {
thread_local const TextLocalizer* current = nullptr;
}

std::string localized(const std::string& text) { return current ? localizedBy(*current, text) : text; }

ScopedLocalizer::ScopedLocalizer(const TextLocalizer& localizer) : previous_(current) { current = &localizer; }

ScopedLocalizer::~ScopedLocalizer() { current = previous_; }

}  // namespace dovrel::exchange::detail

#pragma once
// The host's localizer (Exchange::SetLocalizer) for the call under way: the
// public methods install it, and the exchange's texts pass through it.
#include <string>

#include "exchange/exchange.h"

namespace dovrel::exchange::detail {

// `text` as the current call's localizer gives it; unchanged without one.
std::string localized(const std::string& text);

// Makes `localizer` the current one on this thread for the object's life.
class ScopedLocalizer {
public:
    explicit ScopedLocalizer(const TextLocalizer& localizer);
    ~ScopedLocalizer();
    ScopedLocalizer(const ScopedLocalizer&) = delete;
    ScopedLocalizer& operator=(const ScopedLocalizer&) = delete;

private:
    const TextLocalizer* previous_;
};

}  // namespace dovrel::exchange::detail

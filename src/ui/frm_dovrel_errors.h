#pragma once
// The last line of defence of the settings window's event handlers.
#include <functional>

namespace dovrel::ui {

// Runs a command; an error that escapes it is shown as "System Error!(n)…"
// and ends the busy state, so that no exception leaves an event handler.
void guardCommand(const std::function<void()>& command);

}  // namespace dovrel::ui

#pragma once
// The runtime error handler of the settings window's commands.
#include <functional>

namespace dovrel::ui {

// Shows the exception in flight as "System Error!(" + number + ")" +
// description with the information icon. Call only from a catch block.
void reportCommandError();

// Runs a command; an error that escapes it is shown as above and ends the
// busy state, so that no exception leaves an event handler.
void guardCommand(const std::function<void()>& command);

}  // namespace dovrel::ui

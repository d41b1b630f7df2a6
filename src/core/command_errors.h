#pragma once
// The runtime error handler of the settings window's commands.

namespace dovrel {

// Shows the exception in flight as "System Error!(" + number + ")" +
// description with the information icon. Call only from a catch block.
void reportCommandError();

}  // namespace dovrel

#pragma once
// The exchange's error discipline: a failure inside an operation is thrown
// (RuntimeError, ado::DatabaseError) and the operation's handler turns it
// into an error number and description for its message or result text.
#include <cstdint>
#include <string>

#include "platform/runtime_error.h"

namespace dovrel::exchange::detail {

using dovrel::ErrorReport;

// The class's handler message: number, CR LF, description; an OK button, no
// icon, the application's title.
void showErrorMessage(const ErrorReport& error);

}  // namespace dovrel::exchange::detail

#pragma once
// The exchange's error discipline: a failure inside an operation is thrown
// (RuntimeError, ado::DatabaseError) and the operation's handler turns it
// into an error number and description for its message or result text.
#include <cstdint>
#include <string>

namespace dovrel::exchange::detail {

struct ErrorReport {
    int32_t number = 0;
    std::string description;
};

// The number and description of the exception being handled; call it only
// inside a catch block. Exceptions other than the program's own map to 7
// (out of memory) or 5 (invalid procedure call) with their own text.
ErrorReport currentError();

// The class's handler message: number, CR LF, description; an OK button, no
// icon, the application's title.
void showErrorMessage(const ErrorReport& error);

}  // namespace dovrel::exchange::detail

#pragma once
// The program's procedures follow one error discipline: an unexpected
// failure inside a procedure ends it with an error number and a
// description, which the procedure's own handler turns into a message or a
// result. RuntimeError carries that pair; it never leaves the procedure
// that handles it.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace dovrel {

// Standard error numbers used by the program.
namespace err {
inline constexpr int InvalidArgument = 5;  // invalid procedure call or argument
inline constexpr int Overflow = 6;
inline constexpr int OutOfMemory = 7;
inline constexpr int SubscriptOutOfRange = 9;
inline constexpr int DivisionByZero = 11;
inline constexpr int TypeMismatch = 13;
inline constexpr int FileNotFound = 53;
inline constexpr int InputPastEnd = 62;
inline constexpr int PathFileAccess = 75;
inline constexpr int DuplicateKey = 457;
inline constexpr int ObjectRequired = 424;
}  // namespace err

// The standard description of an error number ("Overflow" for 6, ...).
std::string errorDescription(int number);

class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int32_t number, std::string description)
        : std::runtime_error(description), number_(number), description_(std::move(description)) {}
    explicit RuntimeError(int32_t number) : RuntimeError(number, errorDescription(number)) {}
    int32_t number() const { return number_; }
    const std::string& description() const { return description_; }

private:
    int32_t number_;
    std::string description_;
};

// "System Error!(" + number + ")" + description: the window commands' handler text.
std::string systemErrorText(int number, const std::string& description);

// The number and description of the exception being handled, as the
// procedures' handlers show them; call it only inside a catch block. The
// program's own errors (database errors among them) keep theirs; an
// exhausted memory is 7; anything else is 5 with its own text.
struct ErrorReport {
    int32_t number = 0;
    std::string description;
};
ErrorReport describeCurrentException();

}  // namespace dovrel

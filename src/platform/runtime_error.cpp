#include "platform/runtime_error.h"

#include <new>

namespace dovrel {

std::string errorDescription(int number) {
    switch (number) {
    case err::InvalidArgument: return "Invalid procedure call or argument";
    case err::Overflow: return "Overflow";
    case err::OutOfMemory: return "Out of memory";
    case err::SubscriptOutOfRange: return "Subscript out of range";
    case err::DivisionByZero: return "Division by zero";
    case err::TypeMismatch: return "Type mismatch";
    case err::FileNotFound: return "File not found";
    case err::InputPastEnd: return "Input past end of file";
    case err::PathFileAccess: return "Path/File access error";
    case err::DuplicateKey: return "This key is already associated with an element of this collection";
    case err::ObjectRequired: return "Object required";
    default: return "Application-defined or object-defined error";
    }
}

std::string systemErrorText(int number, const std::string& description) {
    return "System Error!(" + std::to_string(number) + ")" + description;
}

ErrorReport describeCurrentException() {
    try {
        throw;
    } catch (const RuntimeError& e) {
        return {e.number(), e.description()};
    } catch (const std::bad_alloc&) {
        return {err::OutOfMemory, errorDescription(err::OutOfMemory)};
    } catch (const std::exception& e) {
        return {err::InvalidArgument, e.what()};
    } catch (...) {
        return {err::InvalidArgument, errorDescription(err::InvalidArgument)};
    }
}

}  // namespace dovrel

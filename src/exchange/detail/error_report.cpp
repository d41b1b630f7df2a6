#include "exchange/detail/error_report.h"

#include <exception>
#include <new>

#include "db/ado.h"
#include "platform/messages.h"
#include "platform/runtime_error.h"

namespace dovrel::exchange::detail {

ErrorReport currentError() {
    try {
        throw;
    } catch (const RuntimeError& e) {
        return {e.number(), e.description()};
    } catch (const ado::DatabaseError& e) {
        return {e.number(), e.description()};
    } catch (const std::bad_alloc&) {
        return {err::OutOfMemory, errorDescription(err::OutOfMemory)};
    } catch (const std::exception& e) {
        return {err::InvalidArgument, e.what()};
    } catch (...) {
        return {err::InvalidArgument, errorDescription(err::InvalidArgument)};
    }
}

void showErrorMessage(const ErrorReport& error) {
    showMessage(std::to_string(error.number) + "\r\n" + error.description, MessageIcon::None, MessageButtons::Ok);
}

}  // namespace dovrel::exchange::detail

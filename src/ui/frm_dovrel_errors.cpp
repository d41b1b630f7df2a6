#include "ui/frm_dovrel_errors.h"

#include <new>

#include "db/ado.h"
#include "core/busy.h"
#include "platform/messages.h"
#include "platform/runtime_error.h"

namespace dovrel::ui {

void reportCommandError() {
    int number = err::OutOfMemory;
    std::string description = errorDescription(err::OutOfMemory);
    try {
        throw;
    } catch (const RuntimeError& e) {
        number = e.number();
        description = e.description();
    } catch (const ado::DatabaseError& e) {
        number = e.number();
        description = e.description();
    } catch (const std::bad_alloc&) {
    } catch (const std::exception& e) {
        number = err::InvalidArgument;
        description = e.what();
    } catch (...) {
        number = err::InvalidArgument;
        description = errorDescription(err::InvalidArgument);
    }
    showMessage(systemErrorText(number, description), MessageIcon::Information);
}

void guardCommand(const std::function<void()>& command) {
    try {
        command();
    } catch (...) {
        try {
            reportCommandError();
            EndBusy();
        } catch (...) {
            // Nothing is left to report with.
        }
    }
}

}  // namespace dovrel::ui

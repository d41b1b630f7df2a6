#include "core/command_errors.h"

#include "platform/messages.h"
#include "platform/runtime_error.h"

namespace dovrel {

void reportCommandError() {
    const ErrorReport error = describeCurrentException();
    showMessage(systemErrorText(error.number, error.description), MessageIcon::Information);
}

}  // namespace dovrel

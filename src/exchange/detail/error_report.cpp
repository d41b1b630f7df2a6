#include "exchange/detail/error_report.h"

#include "platform/messages.h"
#include "platform/runtime_error.h"

namespace dovrel::exchange::detail {

void showErrorMessage(const ErrorReport& error) {
    showMessage(std::to_string(error.number) + "\r\n" + error.description, MessageIcon::None, MessageButtons::Ok);
}

}  // namespace dovrel::exchange::detail

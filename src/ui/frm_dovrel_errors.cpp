#include "ui/frm_dovrel_errors.h"

#include "core/busy.h"
#include "core/command_errors.h"

namespace dovrel::ui {

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

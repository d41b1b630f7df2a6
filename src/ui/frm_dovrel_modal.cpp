#include "ui/frm_dovrel_modal.h"

#include "ui/frm_dovrel.h"

namespace dovrel::ui {

void ShowSettingsWindowModal() {
    FrmDovrel window;
    window.exec();
}

}  // namespace dovrel::ui

#include "core/busy.h"

#include "core/localize.h"
#include "platform/ui_host.h"

namespace dovrel {

void BeginBusy(const std::string& statusText) {
    uiHost().setBusyPointer(true);
    uiHost().setStatusPanelText(LocalizeText(statusText.empty() ? "正在处理数据,请等候..." : statusText));
}

void EndBusy() {
    uiHost().setBusyPointer(false);
    uiHost().setStatusPanelText(LocalizeText("就绪..."));
}

}  // namespace dovrel

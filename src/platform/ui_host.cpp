#include "platform/ui_host.h"

namespace dovrel {

template <>
platform::Seam<UiHost>& platform::seam<UiHost>() {
    static Seam<UiHost> seam([]() -> UiHost& {
        static NullUiHost headless;
        return headless;
    });
    return seam;
}

UiHost& uiHost() { return platform::seam<UiHost>().get(); }

}  // namespace dovrel

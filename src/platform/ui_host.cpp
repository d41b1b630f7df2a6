#include "platform/ui_host.h"

namespace dovrel {
namespace {
UiHost* currentHost = nullptr;
}

UiHost& uiHost() {
    static NullUiHost headless;
    return currentHost ? *currentHost : headless;
}

UiHost* setUiHost(UiHost* host) {
    UiHost* previous = currentHost;
    currentHost = host;
    return previous;
}

}  // namespace dovrel

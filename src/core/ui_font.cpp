#include "core/ui_font.h"

#include "core/run_state.h"
#include "platform/codepage.h"

namespace dovrel {

void SelectUiFont() {
    RunState& state = runState();
    if (platform::oemCodePage() == 936) {
        state.UseBig5Conversion = 0;
        state.UiFontName = "宋体";
    } else {
        state.UseBig5Conversion = 1;
        state.UiFontName = "新細明體";
    }
}

}  // namespace dovrel

// dovrel.exe: the Windows window program. Sets up its connection settings
// from the start-up sequence and ends when the settings window is closed.
#include <windows.h>

#include "platform/runtime_error.h"
#include "platform/win/wide_text.h"
#include "winui/main_sequence.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        dovrel::winui::Main(dovrel::winui::ShowSettingsWindowModal);
        return 0;
    } catch (...) {
        // A window that could not be made: said in a box, since the program has no console.
        const dovrel::ErrorReport error = dovrel::describeCurrentException();
        const std::string text = dovrel::systemErrorText(error.number, error.description);
        MessageBoxW(nullptr, dovrel::platform::win::toWide(text).value_or(L"System Error!").c_str(), L"Dovrel",
                    MB_ICONERROR | MB_OK);
        return 1;
    }
}

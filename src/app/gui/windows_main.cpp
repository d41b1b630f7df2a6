// dovrel.exe: the Windows window program. Sets up its connection settings
// from the start-up sequence and ends when the settings window is closed.
#include <windows.h>

#include "winui/main_sequence.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    dovrel::winui::Main(dovrel::winui::ShowSettingsWindowModal);
    return 0;
}

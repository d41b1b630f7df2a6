// dovrel: the window program. Sets up its connection settings from the
// start-up sequence and ends when the settings window is closed.
#include <QApplication>

#include "ui/fonts.h"
#include "ui/frm_dovrel_modal.h"
#include "ui/main_sequence.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    dovrel::ui::substituteWindowsFonts();
    dovrel::ui::Main(dovrel::ui::ShowSettingsWindowModal);
    return 0;
}

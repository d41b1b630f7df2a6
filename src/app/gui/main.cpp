// dovrel: the window program. Sets up its connection settings from the
// start-up sequence and ends when the settings window is closed.
#include <QApplication>

#include "ui/frm_dovrel.h"
#include "ui/main_sequence.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    dovrel::ui::Main([] {
        dovrel::ui::FrmDovrel settingsWindow;
        settingsWindow.exec();
    });
    return 0;
}

// dovrel: the window program. Sets up its connection settings from the
// start-up sequence and ends when the settings window is closed.
#include <QApplication>
#include <QFont>

#include "ui/frm_dovrel_modal.h"
#include "ui/main_sequence.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The windows name Windows fonts; here a CJK font stands in for them so
    // that the Chinese captions show.
    for (const char* face : {"宋体", "新細明體", "MS Serif"}) {
        QFont::insertSubstitution(QString::fromUtf8(face), QStringLiteral("WenQuanYi Micro Hei"));
    }
    dovrel::ui::Main(dovrel::ui::ShowSettingsWindowModal);
    return 0;
}

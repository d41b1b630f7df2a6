#include "ui/frm_dovrel_modal.h"

#include <QPixmap>
#include <QTimer>
#include <cstdlib>

#include "ui/frm_dovrel.h"

namespace dovrel::ui {

void ShowSettingsWindowModal() {
    FrmDovrel window;
    const char* screenshot = std::getenv("DOVREL_SCREENSHOT");
    if (screenshot != nullptr && *screenshot != '\0') {
        QTimer::singleShot(500, &window, [&window, file = QString::fromLocal8Bit(screenshot)] {
            window.grab().save(file, "PNG");
            window.close();
        });
    }
    window.exec();
}

}  // namespace dovrel::ui

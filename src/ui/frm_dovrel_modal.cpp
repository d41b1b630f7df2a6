#include "ui/frm_dovrel_modal.h"

#include <time.h>
#include <unistd.h>

#include <QEvent>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "ui/frm_dovrel.h"

namespace dovrel::ui {
namespace {

// Milliseconds since this process started, by the kernel's record of the
// start (/proc/self/stat field 22, clock ticks since boot: 10 ms steps).
double millisecondsSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 1));
    std::string field;
    for (int i = 3; i <= 22 && fields >> field; ++i) {}
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double started = std::strtod(field.c_str(), nullptr) / static_cast<double>(sysconf(_SC_CLK_TCK));
    return (static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9 - started) * 1000;
}

// Once the window's first paint has been processed, prints the time since
// the process started and closes the window.
class ReportWhenShown : public QObject {
public:
    explicit ReportWhenShown(QWidget& window) : QObject(&window), window_(window) { window.installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ && event->type() == QEvent::Paint) {
            window_.removeEventFilter(this);
            QTimer::singleShot(0, &window_, [&window = window_] {
                std::printf("shown %.1f ms after start\n", millisecondsSinceProcessStart());
                std::fflush(stdout);
                window.close();
            });
        }
        return false;
    }

private:
    QWidget& window_;
};

bool optionSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' && *value != '0';
}

}  // namespace

void ShowSettingsWindowModal() {
    FrmDovrel window;
    const char* screenshot = std::getenv("DOVREL_SCREENSHOT");
    if (screenshot != nullptr && *screenshot != '\0') {
        QTimer::singleShot(500, &window, [&window, file = QString::fromLocal8Bit(screenshot)] {
            window.grab().save(file, "PNG");
            window.close();
        });
    }
    if (optionSet("DOVREL_EXIT_WHEN_SHOWN")) new ReportWhenShown(window);
    window.exec();
}

}  // namespace dovrel::ui

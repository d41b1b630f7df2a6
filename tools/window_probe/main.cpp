// dovrel-window-probe: the window program as the demo and the benchmarks
// need it, with hooks the shipped program does not carry.
//
//   dovrel-window-probe --screenshot FILE   saves the settings window as a
//                                           PNG shortly after it is shown, then closes it
//   dovrel-window-probe --report-shown      prints "shown N ms after start" once the
//                                           settings window is painted, then closes it
//
// N counts from the process's start (the kernel's record, 10 ms steps).
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "ui/fonts.h"
#include "ui/frm_dovrel.h"
#include "ui/main_sequence.h"

namespace {

// Milliseconds since this process started (/proc/self/stat field 22).
double millisecondsSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    const std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
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

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    dovrel::ui::substituteWindowsFonts();
    const bool report = argc == 2 && std::strcmp(argv[1], "--report-shown") == 0;
    const bool shoot = argc == 3 && std::strcmp(argv[1], "--screenshot") == 0;
    if (!report && !shoot) {
        std::fprintf(stderr, "usage: dovrel-window-probe --screenshot FILE | --report-shown\n");
        return 2;
    }
    const QString file = shoot ? QString::fromLocal8Bit(argv[2]) : QString();
    dovrel::ui::Main([&] {
        dovrel::ui::FrmDovrel window;
        if (report) new ReportWhenShown(window);
        if (shoot) {
            QTimer::singleShot(500, &window, [&window, &file] {
                window.grab().save(file, "PNG");
                window.close();
            });
        }
        window.exec();
    });
    return 0;
}

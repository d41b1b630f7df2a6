// qt_empty_window [--chinese-label]: the floor for showing a window with
// Qt. Shows an empty window and, once its first paint has been processed,
// prints "shown" on stdout and closes it, as dovrel-window-probe
// --report-shown does. With --chinese-label the window holds one label
// of Chinese text in the font dovrel's windows use, which adds what any
// window with Chinese text pays: the font set-up and the glyphs.
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstring>

namespace {

class EmptyWindow : public QWidget {
protected:
    void paintEvent(QPaintEvent* event) override {
        QWidget::paintEvent(event);
        if (reported_) return;
        reported_ = true;
        QTimer::singleShot(0, this, [this] {
            std::puts("shown");
            std::fflush(stdout);
            close();
        });
    }

private:
    bool reported_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    EmptyWindow window;
    window.resize(400, 300);
    if (argc > 1 && std::strcmp(argv[1], "--chinese-label") == 0) {
        auto* label = new QLabel(QString::fromUtf8("连接数据服务器：成功！"), &window);
        label->setFont(QFont(QStringLiteral("WenQuanYi Micro Hei"), 9));
        label->move(20, 20);
    }
    window.show();
    return app.exec();
}

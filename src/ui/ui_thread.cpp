#include "ui/ui_thread.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <exception>
#include <thread>

namespace dovrel::ui {

void onUiThread(const std::function<void()>& call) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread()) {
        call();
        return;
    }
    QMetaObject::invokeMethod(app, call, Qt::BlockingQueuedConnection);
}

void runOffUiThread(QWidget* window, const std::function<void()>& work) {
    const QPointer<QWidget> focus = window ? window->focusWidget() : nullptr;
    const bool wasEnabled = window && window->isEnabled();
    if (window) window->setEnabled(false);
    QEventLoop loop;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        // Posted, so that a finish before the loop starts still ends it.
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    if (window) {
        window->setEnabled(wasEnabled);
        if (focus) focus->setFocus(Qt::OtherFocusReason);
    }
    if (failure) std::rethrow_exception(failure);
}

}  // namespace dovrel::ui

#include "ui/qt_ui_host.h"

#include <QApplication>
#include <QLabel>
#include <QThread>

#include "ui/ui_thread.h"

namespace dovrel::ui {

QtUiHost& QtUiHost::instance() {
    static QtUiHost host;
    return host;
}

void QtUiHost::setBusyPointer(bool busy) {
    onUiThread([busy] { showBusyPointer(busy); });
}

void QtUiHost::setStatusPanelText(const std::string& text) {
    onUiThread([this, &text] {
        if (statusPanelHandler_) statusPanelHandler_(text);
    });
}

void QtUiHost::setProgressText(const std::string& text) {
    onUiThread([this, &text] { showProgressText(text); });
}

void QtUiHost::processPendingEvents() {
    // Work off the user-interface thread leaves that thread's loop running.
    const QCoreApplication* app = QCoreApplication::instance();
    if (app != nullptr && QThread::currentThread() == app->thread()) QCoreApplication::processEvents();
}

void QtUiHost::showBusyPointer(bool busy) {
    if (busy) {
        const QCursor* current = QApplication::overrideCursor();
        if (current == nullptr || current->shape() != Qt::WaitCursor) QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        while (QApplication::overrideCursor() != nullptr) QApplication::restoreOverrideCursor();
    }
}

void QtUiHost::showProgressText(const std::string& text) {
    if (progressLabel_.isNull()) return;
    progressLabel_->setText(QString::fromStdString(text));
    // The status line sizes itself to its text.
    progressLabel_->adjustSize();
}

void QtUiHost::setProgressLabel(QLabel* label) { progressLabel_ = label; }

void QtUiHost::setStatusPanelHandler(std::function<void(const std::string&)> handler) {
    statusPanelHandler_ = std::move(handler);
}

}  // namespace dovrel::ui

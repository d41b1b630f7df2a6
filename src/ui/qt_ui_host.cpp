#include "ui/qt_ui_host.h"

#include <QApplication>
#include <QLabel>

namespace dovrel::ui {

QtUiHost& QtUiHost::instance() {
    static QtUiHost host;
    return host;
}

void QtUiHost::setBusyPointer(bool busy) {
    if (busy) {
        const QCursor* current = QApplication::overrideCursor();
        if (current == nullptr || current->shape() != Qt::WaitCursor) QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        while (QApplication::overrideCursor() != nullptr) QApplication::restoreOverrideCursor();
    }
}

void QtUiHost::setStatusPanelText(const std::string& text) {
    if (statusPanelHandler_) statusPanelHandler_(text);
}

void QtUiHost::setProgressText(const std::string& text) {
    if (progressLabel_.isNull()) return;
    progressLabel_->setText(QString::fromStdString(text));
    // The status line sizes itself to its text.
    progressLabel_->adjustSize();
    // The check goes on blocking the window; show the step now.
    progressLabel_->repaint();
}

void QtUiHost::processPendingEvents() { QCoreApplication::processEvents(); }

void QtUiHost::setProgressLabel(QLabel* label) { progressLabel_ = label; }

void QtUiHost::setStatusPanelHandler(std::function<void(const std::string&)> handler) {
    statusPanelHandler_ = std::move(handler);
}

}  // namespace dovrel::ui

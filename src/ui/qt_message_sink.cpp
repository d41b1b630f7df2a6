#include "ui/qt_message_sink.h"

#include <QApplication>
#include <QMessageBox>

#include "ui/ui_thread.h"

namespace dovrel::ui {
namespace {

QMessageBox::Icon iconOf(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Critical: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

// The buttons, the first of them the default; the last one also answers
// the Escape key and the close box.
QList<QMessageBox::StandardButton> buttonsOf(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::OkCancel: return {QMessageBox::Ok, QMessageBox::Cancel};
    case MessageButtons::YesNo: return {QMessageBox::Yes, QMessageBox::No};
    case MessageButtons::YesNoCancel: return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    case MessageButtons::RetryCancel: return {QMessageBox::Retry, QMessageBox::Cancel};
    case MessageButtons::Ok: break;
    }
    return {QMessageBox::Ok};
}

MessageAnswer answerOf(QMessageBox::StandardButton button) {
    switch (button) {
    case QMessageBox::Cancel: return MessageAnswer::Cancel;
    case QMessageBox::Yes: return MessageAnswer::Yes;
    case QMessageBox::No: return MessageAnswer::No;
    case QMessageBox::Retry: return MessageAnswer::Retry;
    default: return MessageAnswer::Ok;
    }
}

}  // namespace

MessageAnswer QtMessageSink::show(const Message& message) {
    MessageAnswer answer = MessageAnswer::Ok;
    onUiThread([&] { answer = showBox(message); });
    return answer;
}

MessageAnswer QtMessageSink::showBox(const Message& message) {
    QMessageBox box(iconOf(message.icon), QString::fromStdString(message.title), QString::fromStdString(message.text),
                    QMessageBox::NoButton, QApplication::activeWindow());
    const auto buttons = buttonsOf(message.buttons);
    for (auto button : buttons) box.addButton(button);
    box.setDefaultButton(buttons.front());
    box.setEscapeButton(buttons.back());
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    return answerOf(clicked == QMessageBox::NoButton ? buttons.back() : clicked);
}

}  // namespace dovrel::ui

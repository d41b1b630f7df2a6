#include "winui/message_box_sink.h"

#include <windows.h>

#include "winui/ui_thread.h"
#include "winui/win_text.h"

namespace dovrel::winui {
namespace {

UINT iconOf(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information: return MB_ICONINFORMATION;
    case MessageIcon::Exclamation: return MB_ICONEXCLAMATION;
    case MessageIcon::Critical: return MB_ICONERROR;
    case MessageIcon::Question: return MB_ICONQUESTION;
    case MessageIcon::None: break;
    }
    return 0;
}

UINT buttonsOf(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::OkCancel: return MB_OKCANCEL;
    case MessageButtons::YesNo: return MB_YESNO;
    case MessageButtons::YesNoCancel: return MB_YESNOCANCEL;
    case MessageButtons::RetryCancel: return MB_RETRYCANCEL;
    case MessageButtons::Ok: break;
    }
    return MB_OK;
}

MessageAnswer answerOf(int answer) {
    switch (answer) {
    case IDCANCEL: return MessageAnswer::Cancel;
    case IDYES: return MessageAnswer::Yes;
    case IDNO: return MessageAnswer::No;
    case IDRETRY: return MessageAnswer::Retry;
    default: return MessageAnswer::Ok;
    }
}

}  // namespace

MessageAnswer MessageBoxSink::show(const Message& message) {
    int answer = IDOK;
    onUiThread([&] {
        answer = MessageBoxW(GetActiveWindow(), wide(message.text).c_str(), wide(message.title).c_str(),
                             iconOf(message.icon) | buttonsOf(message.buttons) | MB_SETFOREGROUND);
    });
    return answerOf(answer);
}

}  // namespace dovrel::winui

#include "platform/messages.h"

#include <iostream>

#include "platform/utf8_check.h"

namespace dovrel {
namespace {

MessageAnswer firstButton(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel: return MessageAnswer::Yes;
    case MessageButtons::RetryCancel: return MessageAnswer::Retry;
    default: return MessageAnswer::Ok;
    }
}

StderrMessageSink& defaultSink() {
    static StderrMessageSink sink;
    return sink;
}

}  // namespace

template <>
platform::Seam<MessageSink>& platform::seam<MessageSink>() {
    static Seam<MessageSink> seam([]() -> MessageSink& { return defaultSink(); });
    return seam;
}

MessageAnswer StderrMessageSink::show(const Message& message) {
    std::cerr << message.title << ": " << message.text << std::endl;
    return firstButton(message.buttons);
}

MessageSink& messageSink() { return platform::seam<MessageSink>().get(); }

MessageAnswer showMessage(const std::string& text, MessageIcon icon, MessageButtons buttons) {
    // A message may quote what a user typed or a file held: it is shown as text.
    return messageSink().show(Message{platform::utf8::repaired(text), icon, buttons, kAppTitle});
}

}  // namespace dovrel

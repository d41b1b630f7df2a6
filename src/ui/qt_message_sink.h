#pragma once
// Message boxes of the window program: a real, application-modal box with
// the message's title, icon and buttons, always shown by the
// user-interface thread (the caller may be the windows' worker thread).
#include "platform/messages.h"

namespace dovrel::ui {

class QtMessageSink : public MessageSink {
public:
    MessageAnswer show(const Message& message) override;

private:
    static MessageAnswer showBox(const Message& message);
};

}  // namespace dovrel::ui

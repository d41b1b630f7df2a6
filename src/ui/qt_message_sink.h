#pragma once
// Message boxes of the window program: a real, application-modal box with
// the message's title, icon and buttons.
#include "platform/messages.h"

namespace dovrel::ui {

class QtMessageSink : public MessageSink {
public:
    MessageAnswer show(const Message& message) override;
};

}  // namespace dovrel::ui

#pragma once
// Message boxes of the Windows front end: MessageBoxW with the message's
// title, icon and buttons, always shown by the user-interface thread (the
// caller may be the windows' worker thread), owned by the active window.
#include "platform/messages.h"

namespace dovrel::winui {

class MessageBoxSink : public MessageSink {
public:
    MessageAnswer show(const Message& message) override;
};

}  // namespace dovrel::winui

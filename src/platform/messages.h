#pragma once
// Message boxes as a seam (platform/seam.h): the procedures that show a
// message call showMessage(); the windows install a sink that shows a real
// box, the command line one that prints on stderr, tests one that records.
#include <string>
#include <vector>

#include "platform/seam.h"

namespace dovrel {

enum class MessageIcon { None, Information, Exclamation, Critical, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No, Retry };

// The application title that every message box carries.
inline constexpr const char* kAppTitle = "Dovrel";

struct Message {
    std::string text;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    std::string title = kAppTitle;
};

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual MessageAnswer show(const Message& message) = 0;
};

// Prints "title: text" on stderr and answers with the first button.
class StderrMessageSink : public MessageSink {
public:
    MessageAnswer show(const Message& message) override;
};

// The sink in use: seam<MessageSink>(), stderr until one is installed.
MessageSink& messageSink();

MessageAnswer showMessage(const std::string& text, MessageIcon icon = MessageIcon::None,
                          MessageButtons buttons = MessageButtons::Ok);

}  // namespace dovrel

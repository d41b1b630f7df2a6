#pragma once
// Test doubles of the program's seams (platform/seam.h): a message sink and
// a UI host that record, and an echo transport that answers from a script.
// Install one with platform::ScopedOverride.
#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "platform/echo_transport.h"
#include "platform/messages.h"
#include "platform/ui_host.h"

namespace dovrel {

// Keeps every message; answers with `answer`.
class RecordingMessageSink : public MessageSink {
public:
    MessageAnswer show(const Message& message) override;
    std::vector<Message> shown;
    MessageAnswer answer = MessageAnswer::Ok;
};

// Keeps every call, in order, as "busy:1", "status:TEXT", "progress:TEXT", "events".
class RecordingUiHost : public UiHost {
public:
    void setBusyPointer(bool busy) override {
        calls.push_back(busy ? "busy:1" : "busy:0");
        busyPointer = busy;
    }
    void setStatusPanelText(const std::string& text) override { calls.push_back("status:" + text); }
    void setProgressText(const std::string& text) override { calls.push_back("progress:" + text); }
    void processPendingEvents() override { calls.push_back("events"); }
    std::vector<std::string> calls;
    bool busyPointer = false;
};

}  // namespace dovrel

namespace dovrel::platform {

// Answers from a script, for tests: each echo takes the next step (the
// last one repeats), sleeps its delay, then returns its result, however
// long the time-out. Every request is kept.
class ScriptedEchoTransport : public EchoTransport {
public:
    struct Step {
        EchoResult result;
        std::chrono::milliseconds delay{0};
    };
    struct Request {
        uint32_t address;
        std::string payload;
        std::chrono::milliseconds timeout;
    };
    bool available() override { return isAvailable; }
    EchoResult echo(uint32_t address, std::string_view payload, std::chrono::milliseconds timeout) override;

    bool isAvailable = true;
    std::deque<Step> script;  // empty: every echo is answered at once
    std::vector<Request> requests;
};

// A reply after `delay`, a silence, an ICMP error message.
ScriptedEchoTransport::Step scriptedReply(std::chrono::milliseconds delay = {});
ScriptedEchoTransport::Step scriptedSilence();
ScriptedEchoTransport::Step scriptedIcmpError(uint8_t type, uint8_t code);

}  // namespace dovrel::platform

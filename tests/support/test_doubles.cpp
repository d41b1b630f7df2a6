#include "support/test_doubles.h"

#include <thread>

namespace dovrel {

MessageAnswer RecordingMessageSink::show(const Message& message) {
    shown.push_back(message);
    return answer;
}

}  // namespace dovrel

namespace dovrel::platform {

EchoResult ScriptedEchoTransport::echo(uint32_t address, std::string_view payload, std::chrono::milliseconds timeout) {
    requests.push_back(Request{address, std::string(payload), timeout});
    Step step = script.empty() ? scriptedReply() : script.front();
    if (script.size() > 1) script.pop_front();
    std::this_thread::sleep_for(step.delay);
    return step.result;
}

ScriptedEchoTransport::Step scriptedReply(std::chrono::milliseconds delay) {
    ScriptedEchoTransport::Step step;
    step.result.outcome = EchoResult::Outcome::Reply;
    step.result.roundTrip = delay;
    step.delay = delay;
    return step;
}

ScriptedEchoTransport::Step scriptedSilence() {
    ScriptedEchoTransport::Step step;
    step.result.outcome = EchoResult::Outcome::TimedOut;
    return step;
}

ScriptedEchoTransport::Step scriptedIcmpError(uint8_t type, uint8_t code) {
    ScriptedEchoTransport::Step step;
    step.result.outcome = EchoResult::Outcome::IcmpError;
    step.result.icmpType = type;
    step.result.icmpCode = code;
    return step;
}

}  // namespace dovrel::platform

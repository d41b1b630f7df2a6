#include "net/server_address.h"

#include <algorithm>

#include "net/ipv4_address.h"
#include "platform/echo_transport.h"
#include "platform/messages.h"
#include "platform/runtime_error.h"
#include "platform/text.h"

namespace dovrel {
namespace {

// The position of the instance separator has always been held as a signed
// 16-bit number (counted from 1).
constexpr std::size_t kLastInstancePosition = 32767;

}  // namespace

std::string probeAddressFor(std::string_view serverName) {
    // "host,port" addresses a port; the host alone is probed.
    std::string_view name = serverName.substr(0, serverName.find(','));
    if (name == ".") return "127.0.0.1";
    if (name.find('.') == std::string_view::npos) return {};
    const std::size_t backslash = name.rfind('\\');
    if (backslash != std::string_view::npos) {
        if (backslash + 1 > kLastInstancePosition) throw RuntimeError(err::Overflow);
        name = name.substr(0, backslash);
    }
    // A DNS name is left to the connection attempt, like a computer name.
    if (!parseDottedAddress(trimSpaces(name))) return {};
    return std::string(name);
}

std::string ResolveServerAddress(std::string& serverName) {
    try {
        serverName.erase(std::remove(serverName.begin(), serverName.end(), '\0'), serverName.end());
        std::string address = probeAddressFor(serverName);
        // Where no echo may be sent, the probe is skipped as for a computer
        // name, rather than reported as a network failure.
        if (!address.empty() && !platform::echoTransport().available()) address.clear();
        return address;
    } catch (...) {
        const ErrorReport error = describeCurrentException();
        showMessage(systemErrorText(error.number, error.description), MessageIcon::Information);
        return {};
    }
}

}  // namespace dovrel

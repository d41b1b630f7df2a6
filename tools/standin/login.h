#pragma once
// The two messages that open a connection: PRELOGIN (version and encryption
// negotiation; the stand-in never encrypts) and LOGIN7 (the credentials).
#include <cstdint>
#include <string>
#include <string_view>

namespace standin {

// The reply to a PRELOGIN request: our version, no encryption, no MARS.
std::string preloginReply(std::string_view request);

struct LoginRequest {
    uint32_t tdsVersion = 0;  // as the client asked, e.g. 0x74000004 for 7.4
    uint32_t packetSize = 4096;
    std::string hostName;
    std::string userName;
    std::string password;
    std::string appName;
    std::string serverName;
    std::string language;
    std::string database;
    bool integratedSecurity = false;
};

// Parses a LOGIN7 record; throws ProtocolError when it is malformed.
LoginRequest parseLogin7(std::string_view payload);
// Undoes the password obfuscation of LOGIN7 (bytes are UTF-16LE).
std::string decodePassword(std::string_view obfuscated);
// The protocol version the server answers with for the client's request.
uint32_t negotiatedTdsVersion(uint32_t requested);

}  // namespace standin

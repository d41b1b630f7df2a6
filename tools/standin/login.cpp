#include "login.h"

#include "byte_buffer.h"
#include "text_codec.h"

#include <vector>

namespace standin {
namespace {

constexpr uint8_t OptVersion = 0, OptEncryption = 1, OptInstance = 2, OptThreadId = 3, OptMars = 4,
                  OptTerminator = 0xFF;
constexpr uint8_t EncryptNotSupported = 2;
constexpr uint8_t IntegratedSecurityFlag = 0x80;  // OptionFlags2: fIntSecurity

// Reads a UTF-16 field given by its offset and length (in characters).
std::string field(std::string_view payload, uint16_t offset, uint16_t chars) {
    if (chars == 0) return {};
    if (static_cast<size_t>(offset) + chars * 2u > payload.size()) {
        throw ProtocolError("login field outside the record");
    }
    return utf16leToUtf8(payload.substr(offset, chars * 2u));
}

}  // namespace

std::string preloginReply(std::string_view request) {
    // The request is read only to check that it is well-formed.
    ByteReader r(request);
    while (r.remaining() > 0) {
        const uint8_t token = r.u8();
        if (token == OptTerminator) break;
        r.u16be();
        r.u16be();
    }
    struct Option {
        uint8_t token;
        std::string data;
    };
    std::vector<Option> options{
        {OptVersion, std::string("\x0B\x00\x08\x34\x00\x00", 6)},  // 11.0.2100
        {OptEncryption, std::string(1, static_cast<char>(EncryptNotSupported))},
        {OptInstance, std::string(1, '\0')},
        {OptThreadId, {}},
        {OptMars, std::string(1, '\0')},
    };
    ByteWriter w;
    uint16_t offset = static_cast<uint16_t>(options.size() * 5 + 1);
    for (const auto& o : options) {
        w.u8(o.token);
        w.u16be(offset);
        w.u16be(static_cast<uint16_t>(o.data.size()));
        offset = static_cast<uint16_t>(offset + o.data.size());
    }
    w.u8(OptTerminator);
    for (const auto& o : options) w.bytes(o.data);
    return w.take();
}

std::string decodePassword(std::string_view obfuscated) {
    std::string plain(obfuscated);
    for (auto& c : plain) {
        auto b = static_cast<uint8_t>(static_cast<uint8_t>(c) ^ 0xA5);
        c = static_cast<char>(static_cast<uint8_t>((b << 4) | (b >> 4)));
    }
    return plain;
}

LoginRequest parseLogin7(std::string_view payload) {
    ByteReader r(payload);
    LoginRequest login;
    const uint32_t length = r.u32();
    if (length > payload.size() || length < 36) throw ProtocolError("bad login length");
    login.tdsVersion = r.u32();
    login.packetSize = r.u32();
    r.skip(4 + 4 + 4);  // client program version, process id, connection id
    r.u8();             // option flags 1
    const uint8_t flags2 = r.u8();
    r.u8();         // type flags
    r.u8();         // option flags 3
    r.skip(4 + 4);  // time zone, LCID
    auto next = [&]() {
        const uint16_t off = r.u16();
        const uint16_t len = r.u16();
        return std::pair<uint16_t, uint16_t>(off, len);
    };
    const auto host = next();
    const auto user = next();
    const auto pass = next();
    const auto app = next();
    const auto server = next();
    next();  // extension or unused
    next();  // client interface name
    const auto language = next();
    const auto database = next();
    login.hostName = field(payload, host.first, host.second);
    login.userName = field(payload, user.first, user.second);
    if (static_cast<size_t>(pass.first) + pass.second * 2u > payload.size()) {
        throw ProtocolError("password outside the record");
    }
    login.password = utf16leToUtf8(decodePassword(payload.substr(pass.first, pass.second * 2u)));
    login.appName = field(payload, app.first, app.second);
    login.serverName = field(payload, server.first, server.second);
    login.language = field(payload, language.first, language.second);
    login.database = field(payload, database.first, database.second);
    login.integratedSecurity = (flags2 & IntegratedSecurityFlag) != 0;
    return login;
}

uint32_t negotiatedTdsVersion(uint32_t requested) {
    if (requested >= 0x74000004) return 0x74000004;
    if (requested >= 0x730B0003) return 0x730B0003;
    if (requested >= 0x730A0003) return 0x730A0003;
    if (requested >= 0x72090002) return 0x72090002;
    if (requested >= 0x71000001) return 0x71000001;
    return 0x70000000;
}

}  // namespace standin

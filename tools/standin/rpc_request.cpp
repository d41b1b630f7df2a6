#include "rpc_request.h"

#include "byte_buffer.h"
#include "datetime_text.h"
#include "text_codec.h"

#include <cstdio>
#include <cstring>

namespace standin {
namespace {

// The procedures a request may name by number (ProcID).
const char* procedureById(uint16_t id) {
    static const char* const names[] = {nullptr,
                                        "sp_cursor",
                                        "sp_cursoropen",
                                        "sp_cursorprepare",
                                        "sp_cursorexecute",
                                        "sp_cursorprepexec",
                                        "sp_cursorunprepare",
                                        "sp_cursorfetch",
                                        "sp_cursoroption",
                                        "sp_cursorclose",
                                        "sp_executesql",
                                        "sp_prepare",
                                        "sp_execute",
                                        "sp_prepexec",
                                        "sp_prepexecrpc",
                                        "sp_unprepare"};
    return id < sizeof names / sizeof names[0] ? names[id] : nullptr;
}

namespace type {
constexpr uint8_t Null = 0x1F, Int1 = 0x30, Bit = 0x32, Int2 = 0x34, Int4 = 0x38, Int8 = 0x7F, DateTime4 = 0x3A,
                  Float4 = 0x3B, Money = 0x3C, DateTime = 0x3D, Float8 = 0x3E, Money4 = 0x7A, Guid = 0x24, IntN = 0x26,
                  BitN = 0x68, FloatN = 0x6D, MoneyN = 0x6E, DateTimeN = 0x6F, DecimalN = 0x6A, NumericN = 0x6C,
                  DateN = 0x28, BigVarChar = 0xA7, BigChar = 0xAF, NVarChar = 0xE7, NChar = 0xEF, BigVarBinary = 0xA5,
                  BigBinary = 0xAD;
}

std::string latin1ToUtf8(std::string_view bytes) {
    std::string out;
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

int64_t signedOf(uint64_t raw, size_t bytes) {
    if (bytes >= 8) return static_cast<int64_t>(raw);
    const uint64_t sign = uint64_t{1} << (bytes * 8 - 1);
    return static_cast<int64_t>((raw ^ sign) - sign);
}

uint64_t littleEndian(std::string_view b) {
    uint64_t v = 0;
    for (size_t k = b.size(); k > 0; --k) v = (v << 8) | static_cast<uint8_t>(b[k - 1]);
    return v;
}

Value fixedValue(uint8_t t, std::string_view b) {
    switch (t) {
    case type::Int1: return Value::integer(static_cast<uint8_t>(b[0]));
    case type::Bit: return Value::integer(b[0] != 0 ? 1 : 0);
    case type::Int2:
    case type::Int4:
    case type::Int8:
    case type::IntN: return Value::integer(signedOf(littleEndian(b), b.size()));
    case type::Float4: {
        float f = 0;
        const uint32_t raw = static_cast<uint32_t>(littleEndian(b));
        std::memcpy(&f, &raw, sizeof f);
        return Value::real(f);
    }
    case type::Float8: {
        double d = 0;
        const uint64_t raw = littleEndian(b);
        std::memcpy(&d, &raw, sizeof d);
        return Value::real(d);
    }
    case type::Money:
    case type::Money4: {
        const int64_t units =
            b.size() == 4 ? signedOf(littleEndian(b), 4)
                          : static_cast<int64_t>((littleEndian(b.substr(0, 4)) << 32) | littleEndian(b.substr(4, 4)));
        char buf[40];
        std::snprintf(buf, sizeof buf, "%s%lld.%04lld", units < 0 ? "-" : "", std::llabs(units / 10000),
                      std::llabs(units % 10000));
        return Value::text(buf);
    }
    case type::DateTime:
    case type::DateTime4: {
        DateTimeParts p;
        int64_t days = 0, millis = 0;
        if (b.size() == 4) {
            days = static_cast<int64_t>(littleEndian(b.substr(0, 2)));
            millis = static_cast<int64_t>(littleEndian(b.substr(2, 2))) * 60000;
        } else {
            days = signedOf(littleEndian(b.substr(0, 4)), 4);
            millis = (static_cast<int64_t>(littleEndian(b.substr(4, 4))) * 10 + 1) / 3;
        }
        p = civilFromDays(daysFromCivil(1900, 1, 1) + days);
        p.hour = static_cast<int>(millis / 3600000);
        p.minute = static_cast<int>(millis / 60000 % 60);
        p.second = static_cast<int>(millis / 1000 % 60);
        p.millis = static_cast<int>(millis % 1000);
        return Value::text(formatDateTime(p));
    }
    default: return Value::null();
    }
}

std::string guidText(std::string_view b) {
    char buf[40];
    auto u = [&](size_t k) { return static_cast<unsigned>(static_cast<uint8_t>(b[k])); };
    std::snprintf(buf, sizeof buf, "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X", u(3), u(2),
                  u(1), u(0), u(5), u(4), u(7), u(6), u(8), u(9), u(10), u(11), u(12), u(13), u(14), u(15));
    return buf;
}

std::string decimalText(std::string_view b, uint8_t scale) {
    const bool positive = b[0] != 0;
    unsigned __int128 v = 0;
    for (size_t k = b.size(); k > 1; --k) v = (v << 8) | static_cast<uint8_t>(b[k - 1]);
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
        v /= 10;
    } while (v != 0);
    while (digits.size() <= scale) digits.insert(digits.begin(), '0');
    if (scale > 0) digits.insert(digits.size() - scale, ".");
    return (positive ? "" : "-") + digits;
}

// A value of a (max) type: chunks until a zero length.
std::optional<std::string> readPlp(ByteReader& r) {
    const uint64_t total = r.u64();
    if (total == ~uint64_t{0}) return std::nullopt;
    std::string out;
    for (;;) {
        const uint32_t chunk = r.u32();
        if (chunk == 0) break;
        out.append(r.bytes(chunk));
    }
    return out;
}

// One parameter's TYPE_INFO and value; false when the type is not one the stand-in reads.
bool readParameter(ByteReader& r, Value& value, uint8_t& typeCode) {
    const uint8_t t = r.u8();
    typeCode = t;
    switch (t) {
    case type::Null: value = Value::null(); return true;
    case type::Int1:
    case type::Bit: value = fixedValue(t, r.bytes(1)); return true;
    case type::Int2: value = fixedValue(t, r.bytes(2)); return true;
    case type::Int4:
    case type::Float4:
    case type::Money4:
    case type::DateTime4: value = fixedValue(t, r.bytes(4)); return true;
    case type::Int8:
    case type::Float8:
    case type::Money:
    case type::DateTime: value = fixedValue(t, r.bytes(8)); return true;
    case type::IntN:
    case type::BitN:
    case type::FloatN:
    case type::MoneyN:
    case type::DateTimeN:
    case type::Guid: {
        r.u8();  // maximum length
        const uint8_t n = r.u8();
        if (n == 0) {
            value = Value::null();
            return true;
        }
        const std::string_view b = r.bytes(n);
        if (t == type::Guid)
            value = Value::text(guidText(b));
        else if (t == type::BitN)
            value = Value::integer(b[0] != 0 ? 1 : 0);
        else if (t == type::IntN)
            value = fixedValue(type::IntN, b);
        else if (t == type::FloatN)
            value = fixedValue(n == 4 ? type::Float4 : type::Float8, b);
        else if (t == type::MoneyN)
            value = fixedValue(n == 4 ? type::Money4 : type::Money, b);
        else
            value = fixedValue(n == 4 ? type::DateTime4 : type::DateTime, b);
        return true;
    }
    case type::DecimalN:
    case type::NumericN: {
        r.u8();
        r.u8();  // precision
        const uint8_t scale = r.u8();
        const uint8_t n = r.u8();
        value = n == 0 ? Value::null() : Value::text(decimalText(r.bytes(n), scale));
        return true;
    }
    case type::DateN: {
        const uint8_t n = r.u8();
        if (n == 0) {
            value = Value::null();
            return true;
        }
        value = Value::text(
            formatDate(civilFromDays(daysFromCivil(1, 1, 1) + static_cast<int64_t>(littleEndian(r.bytes(n))))));
        return true;
    }
    case type::BigVarChar:
    case type::BigChar:
    case type::NVarChar:
    case type::NChar:
    case type::BigVarBinary:
    case type::BigBinary: {
        const uint16_t max = r.u16();
        const bool text = t != type::BigVarBinary && t != type::BigBinary;
        if (text) r.skip(5);  // collation
        std::optional<std::string> bytes;
        if (max == 0xFFFF) {
            bytes = readPlp(r);
        } else {
            const uint16_t n = r.u16();
            if (n != 0xFFFF) bytes = std::string(r.bytes(n));
        }
        if (!bytes)
            value = Value::null();
        else if (t == type::NVarChar || t == type::NChar)
            value = Value::text(utf16leToUtf8(*bytes));
        else if (text)
            value = Value::text(latin1ToUtf8(*bytes));
        else
            value = Value::blob(*bytes);
        return true;
    }
    default: return false;
    }
}

}  // namespace

RpcRequest parseRpcRequest(std::string_view body) {
    RpcRequest request;
    ByteReader r(body);
    while (r.remaining() > 0) {
        RpcCall call;
        const uint16_t nameLength = r.u16();
        if (nameLength == 0xFFFF) {
            const uint16_t id = r.u16();
            const char* name = procedureById(id);
            call.procedure = name ? name : "procedure id " + std::to_string(id);
        } else {
            call.procedure = utf16leToUtf8(r.bytes(nameLength * 2u));
        }
        r.u16();  // option flags
        while (r.remaining() > 0) {
            const uint8_t next = static_cast<uint8_t>(r.all()[r.pos()]);
            if (next == 0x80 || next == 0xFF) {  // another call follows
                r.u8();
                break;
            }
            ProcedureArgument arg;
            arg.name = utf16leToUtf8(r.bytes(r.u8() * 2u));
            r.u8();  // status flags (output parameters are not returned)
            uint8_t typeCode = 0;
            if (!readParameter(r, arg.value, typeCode)) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "0x%02X", typeCode);
                request.unsupported = "The stand-in cannot read parameters of protocol type " + std::string(buf) + ".";
                request.calls.push_back(std::move(call));
                return request;
            }
            call.args.push_back(std::move(arg));
        }
        request.calls.push_back(std::move(call));
    }
    return request;
}

}  // namespace standin

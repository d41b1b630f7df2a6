#include "value.h"

#include <cstdio>

namespace standin {

std::string valueText(const Value& v) {
    switch (v.kind) {
    case Value::Kind::Null: return {};
    case Value::Kind::Integer: return std::to_string(v.i);
    case Value::Kind::Real: {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.15g", v.r);
        return buf;
    }
    case Value::Kind::Text: return v.s;
    case Value::Kind::Blob: return "0x" + upperHex(v.s);
    }
    return {};
}

std::string upperHex(std::string_view bytes) {
    static constexpr const char* kDigits = "0123456789ABCDEF";
    std::string out;
    out.reserve(2 * bytes.size());
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        out.push_back(kDigits[c >> 4]);
        out.push_back(kDigits[c & 15]);
    }
    return out;
}

}  // namespace standin

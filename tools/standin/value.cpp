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
    case Value::Kind::Blob: {
        static const char* hex = "0123456789ABCDEF";
        std::string out = "0x";
        for (const char ch : v.s) {
            const auto c = static_cast<unsigned char>(ch);
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        }
        return out;
    }
    }
    return {};
}

}  // namespace standin

#pragma once
// One value as SQLite holds it: null, integer, real, text (UTF-8) or blob.
#include <cstdint>
#include <string>
#include <string_view>

namespace standin {

struct Value {
    enum class Kind { Null, Integer, Real, Text, Blob };
    Kind kind = Kind::Null;
    int64_t i = 0;
    double r = 0;
    std::string s;  // text in UTF-8, or the bytes of a blob

    static Value null() { return {}; }
    static Value integer(int64_t v) {
        Value x;
        x.kind = Kind::Integer;
        x.i = v;
        return x;
    }
    static Value real(double v) {
        Value x;
        x.kind = Kind::Real;
        x.r = v;
        return x;
    }
    static Value text(std::string v) {
        Value x;
        x.kind = Kind::Text;
        x.s = std::move(v);
        return x;
    }
    static Value blob(std::string v) {
        Value x;
        x.kind = Kind::Blob;
        x.s = std::move(v);
        return x;
    }
    bool isNull() const { return kind == Kind::Null; }
};

// The value as text, the way a message or a conversion reads it.
std::string valueText(const Value& v);

// Bytes as upper-case hexadecimal digits, two a byte.
std::string upperHex(std::string_view bytes);

}  // namespace standin

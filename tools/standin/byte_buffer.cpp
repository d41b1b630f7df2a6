#include "byte_buffer.h"

#include "text_codec.h"

namespace standin {

void ByteWriter::bVarchar(std::string_view utf8) {
    std::string wide = utf8ToUtf16le(utf8);
    if (wide.size() > 255 * 2) wide.resize(255 * 2);
    u8(static_cast<uint8_t>(wide.size() / 2));
    bytes(wide);
}

void ByteWriter::usVarchar(std::string_view utf8) {
    std::string wide = utf8ToUtf16le(utf8);
    if (wide.size() > 65535 * 2) wide.resize(65535 * 2);
    u16(static_cast<uint16_t>(wide.size() / 2));
    bytes(wide);
}

void ByteWriter::patchU16(size_t at, uint16_t v) {
    data_[at] = static_cast<char>(v & 0xFF);
    data_[at + 1] = static_cast<char>(v >> 8);
}

std::string_view ByteReader::bytes(size_t n) {
    if (n > remaining()) throw ProtocolError("message ends early");
    auto out = data_.substr(pos_, n);
    pos_ += n;
    return out;
}

uint8_t ByteReader::u8() { return static_cast<uint8_t>(bytes(1)[0]); }

uint16_t ByteReader::u16() {
    auto b = bytes(2);
    return static_cast<uint16_t>(static_cast<uint8_t>(b[0]) | (static_cast<uint8_t>(b[1]) << 8));
}

uint32_t ByteReader::u32() {
    uint32_t lo = u16();
    uint32_t hi = u16();
    return lo | (hi << 16);
}

uint64_t ByteReader::u64() {
    uint64_t lo = u32();
    uint64_t hi = u32();
    return lo | (hi << 32);
}

uint16_t ByteReader::u16be() {
    auto b = bytes(2);
    return static_cast<uint16_t>((static_cast<uint8_t>(b[0]) << 8) | static_cast<uint8_t>(b[1]));
}

uint32_t ByteReader::u32be() {
    uint32_t hi = u16be();
    uint32_t lo = u16be();
    return (hi << 16) | lo;
}

void ByteReader::seek(size_t p) {
    if (p > data_.size()) throw ProtocolError("offset outside the message");
    pos_ = p;
}

}  // namespace standin

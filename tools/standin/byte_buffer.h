#pragma once
// Little-endian byte building and bounds-checked reading for the protocol's
// messages. A read past the end throws ProtocolError: the session then drops
// the client, as a server does with a malformed request.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace standin {

class ProtocolError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ByteWriter {
public:
    void u8(uint8_t v) { data_.push_back(static_cast<char>(v)); }
    void u16(uint16_t v) {
        u8(static_cast<uint8_t>(v & 0xFF));
        u8(static_cast<uint8_t>(v >> 8));
    }
    void u32(uint32_t v) {
        u16(static_cast<uint16_t>(v & 0xFFFF));
        u16(static_cast<uint16_t>(v >> 16));
    }
    void u64(uint64_t v) {
        u32(static_cast<uint32_t>(v));
        u32(static_cast<uint32_t>(v >> 32));
    }
    void u16be(uint16_t v) {
        u8(static_cast<uint8_t>(v >> 8));
        u8(static_cast<uint8_t>(v & 0xFF));
    }
    void u32be(uint32_t v) {
        u16be(static_cast<uint16_t>(v >> 16));
        u16be(static_cast<uint16_t>(v & 0xFFFF));
    }
    void bytes(std::string_view b) { data_.append(b); }
    // Text with a one-byte length in characters (B_VARCHAR), UTF-8 in.
    void bVarchar(std::string_view utf8);
    // Text with a two-byte length in characters (US_VARCHAR), UTF-8 in.
    void usVarchar(std::string_view utf8);
    // Overwrites a two-byte value written earlier (lengths known only later).
    void patchU16(size_t at, uint16_t v);
    size_t size() const { return data_.size(); }
    std::string& data() { return data_; }
    std::string take() { return std::move(data_); }

private:
    std::string data_;
};

class ByteReader {
public:
    explicit ByteReader(std::string_view data) : data_(data) {}
    uint8_t u8();
    uint16_t u16();
    uint32_t u32();
    uint64_t u64();
    uint16_t u16be();
    uint32_t u32be();
    std::string_view bytes(size_t n);
    void skip(size_t n) { bytes(n); }
    size_t pos() const { return pos_; }
    void seek(size_t p);
    size_t remaining() const { return data_.size() - pos_; }
    std::string_view all() const { return data_; }

private:
    std::string_view data_;
    size_t pos_ = 0;
};

}  // namespace standin

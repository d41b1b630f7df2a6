#include "tds_tokens.h"

#include "text_codec.h"

namespace standin {
namespace {

constexpr uint8_t TokenReturnStatus = 0x79, TokenError = 0xAA, TokenInfo = 0xAB, TokenLoginAck = 0xAD,
                  TokenEnvChange = 0xE3, TokenColMetadata = 0x81, TokenRow = 0xD1;
constexpr uint32_t Tds72 = 0x72090002;
constexpr uint16_t FlagNullable = 0x0001, FlagUpdateable = 0x0004, FlagIdentity = 0x0010;

}  // namespace

void TokenWriter::envChangeText(uint8_t type, std::string_view newValue, std::string_view oldValue) {
    w_.u8(TokenEnvChange);
    const size_t lengthAt = w_.size();
    w_.u16(0);
    w_.u8(type);
    w_.bVarchar(newValue);
    w_.bVarchar(oldValue);
    w_.patchU16(lengthAt, static_cast<uint16_t>(w_.size() - lengthAt - 2));
}

void TokenWriter::envChangeBytes(uint8_t type, std::string_view newValue, std::string_view oldValue) {
    w_.u8(TokenEnvChange);
    w_.u16(static_cast<uint16_t>(1 + 1 + newValue.size() + 1 + oldValue.size()));
    w_.u8(type);
    w_.u8(static_cast<uint8_t>(newValue.size()));
    w_.bytes(newValue);
    w_.u8(static_cast<uint8_t>(oldValue.size()));
    w_.bytes(oldValue);
}

void TokenWriter::message(const SqlMessage& m, std::string_view procName, int32_t line) {
    w_.u8(m.isError() ? TokenError : TokenInfo);
    const size_t lengthAt = w_.size();
    w_.u16(0);
    w_.u32(static_cast<uint32_t>(m.number));
    w_.u8(m.state);
    w_.u8(m.severity);
    w_.usVarchar(m.text);
    w_.bVarchar(serverName_);
    w_.bVarchar(procName);
    if (tdsVersion_ >= Tds72) {
        w_.u32(static_cast<uint32_t>(line));
    } else {
        w_.u16(static_cast<uint16_t>(line));
    }
    w_.patchU16(lengthAt, static_cast<uint16_t>(w_.size() - lengthAt - 2));
}

void TokenWriter::returnStatus(int32_t status) {
    w_.u8(TokenReturnStatus);
    w_.u32(static_cast<uint32_t>(status));
}

void TokenWriter::loginAck(std::string_view programName, uint32_t programVersion) {
    w_.u8(TokenLoginAck);
    const size_t lengthAt = w_.size();
    w_.u16(0);
    w_.u8(1);  // interface: T-SQL
    w_.u32be(tdsVersion_);
    w_.bVarchar(programName);
    w_.u32be(programVersion);
    w_.patchU16(lengthAt, static_cast<uint16_t>(w_.size() - lengthAt - 2));
}

void TokenWriter::done(uint8_t token, uint16_t status, uint16_t curCmd, uint64_t rowCount) {
    w_.u8(token);
    w_.u16(status);
    w_.u16(curCmd);
    if (tdsVersion_ >= Tds72) {
        w_.u64(rowCount);
    } else {
        w_.u32(static_cast<uint32_t>(rowCount));
    }
}

void TokenWriter::columns(const std::vector<ColumnInfo>& cols) {
    w_.u8(TokenColMetadata);
    w_.u16(static_cast<uint16_t>(cols.size()));
    for (const auto& c : cols) {
        if (tdsVersion_ >= Tds72) {
            w_.u32(wireUserType(c.type));
        } else {
            w_.u16(static_cast<uint16_t>(wireUserType(c.type)));
        }
        uint16_t flags = FlagUpdateable;
        if (c.nullable) flags |= FlagNullable;
        if (c.identity) flags |= FlagIdentity;
        w_.u16(flags);
        writeTypeInfo(w_, c.type, tdsVersion_);
        w_.bVarchar(c.name);
    }
}

void TokenWriter::row(const std::vector<ColumnInfo>& cols, const std::vector<Value>& values) {
    w_.u8(TokenRow);
    for (size_t k = 0; k < cols.size(); ++k) {
        writeValue(w_, cols[k].type, k < values.size() ? values[k] : Value::null(), tdsVersion_);
    }
}

}  // namespace standin

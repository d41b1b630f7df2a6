#pragma once
// Builds the token stream of a reply: environment changes, messages, login
// acknowledgement, column descriptions, rows and DONE tokens.
#include "byte_buffer.h"
#include "result_set.h"
#include "sql_error.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace standin {

namespace done_status {
inline constexpr uint16_t Final = 0x00;
inline constexpr uint16_t More = 0x01;
inline constexpr uint16_t Error = 0x02;
inline constexpr uint16_t InTransaction = 0x04;
inline constexpr uint16_t Count = 0x10;
inline constexpr uint16_t Attention = 0x20;
}  // namespace done_status

namespace done_token {
inline constexpr uint8_t Done = 0xFD;
inline constexpr uint8_t DoneProc = 0xFE;
inline constexpr uint8_t DoneInProc = 0xFF;
}  // namespace done_token

namespace env_type {
inline constexpr uint8_t Database = 1;
inline constexpr uint8_t Language = 2;
inline constexpr uint8_t PacketSize = 4;
inline constexpr uint8_t Collation = 7;
inline constexpr uint8_t BeginTransaction = 8;
inline constexpr uint8_t CommitTransaction = 9;
inline constexpr uint8_t RollbackTransaction = 10;
}  // namespace env_type

// Statement kinds in DONE tokens (the "current command" field).
namespace command {
inline constexpr uint16_t None = 0x00;
inline constexpr uint16_t Select = 0xC1;
inline constexpr uint16_t Insert = 0xC3;
inline constexpr uint16_t Delete = 0xC4;
inline constexpr uint16_t Update = 0xC5;
}  // namespace command

class TokenWriter {
public:
    TokenWriter(uint32_t tdsVersion, std::string serverName)
        : tdsVersion_(tdsVersion), serverName_(std::move(serverName)) {}

    // Environment change with text values (database, language, packet size).
    void envChangeText(uint8_t type, std::string_view newValue, std::string_view oldValue);
    // Environment change with byte values (collation, transactions).
    void envChangeBytes(uint8_t type, std::string_view newValue, std::string_view oldValue);
    void message(const SqlMessage& m, std::string_view procName = {}, int32_t line = 1);
    void loginAck(std::string_view programName, uint32_t programVersion);
    void done(uint8_t token, uint16_t status, uint16_t curCmd, uint64_t rowCount);
    // RETURNSTATUS: a procedure's return value.
    void returnStatus(int32_t status);
    void columns(const std::vector<ColumnInfo>& cols);
    void row(const std::vector<ColumnInfo>& cols, const std::vector<Value>& values);

    size_t size() const { return w_.size(); }
    std::string take() { return w_.take(); }

private:
    uint32_t tdsVersion_;
    std::string serverName_;
    ByteWriter w_;
};

}  // namespace standin

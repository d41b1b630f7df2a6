#pragma once
// An error or informational message as the server reports it to the client.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace standin {

struct SqlMessage {
    int32_t number = 0;
    uint8_t state = 1;
    uint8_t severity = 16;  // 10 and below: information, not an error
    std::string text;
    int32_t line = 1;  // line of the batch the statement starts on
    bool isError() const { return severity > 10; }
};

inline SqlMessage sqlError(int32_t number, std::string text, uint8_t severity = 16, uint8_t state = 1) {
    return SqlMessage{number, state, severity, std::move(text)};
}

inline SqlMessage sqlInfo(int32_t number, std::string text, uint8_t state = 1) {
    return SqlMessage{number, state, 0, std::move(text)};
}

// Thrown inside the executor to abandon the current statement; the session
// reports it and goes on with the next statement of the batch.
struct StatementError {
    SqlMessage message;
};

[[noreturn]] inline void fail(int32_t number, std::string text, uint8_t severity = 16, uint8_t state = 1) {
    throw StatementError{sqlError(number, std::move(text), severity, state)};
}

// A function the stand-in registers in SQLite reports a SQL Server error
// through SQLite's error text; the statement that called it reports the
// error with its own number again.
std::string errorForSqlite(const SqlMessage& m);
std::optional<SqlMessage> errorFromSqlite(std::string_view sqliteMessage);

}  // namespace standin

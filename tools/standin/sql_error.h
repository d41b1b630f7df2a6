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
    int32_t line = 1;       // line of the batch (or trigger) the statement starts on
    std::string procedure;  // the trigger that raised it, if any
    bool isError() const { return severity > 10; }
};

inline SqlMessage sqlError(int32_t number, std::string text, uint8_t severity = 16, uint8_t state = 1) {
    SqlMessage m;
    m.number = number;
    m.state = state;
    m.severity = severity;
    m.text = std::move(text);
    return m;
}

inline SqlMessage sqlInfo(int32_t number, std::string text, uint8_t state = 1) {
    return sqlError(number, std::move(text), 0, state);
}

// Thrown inside the executor to abandon the current statement; the executor
// reports it and decides, by its number, how much of the batch ends with it.
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

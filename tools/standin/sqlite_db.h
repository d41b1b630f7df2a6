#pragma once
// A thin RAII layer over the SQLite C interface. Failures throw
// StatementError carrying the SQL Server error the SQLite message maps to.
#include "sql_error.h"
#include "value.h"

#include <memory>
#include <sqlite3.h>
#include <string>
#include <string_view>

namespace standin {

struct SqliteCloser {
    void operator()(sqlite3* db) const noexcept { sqlite3_close_v2(db); }
};
// Owns one SQLite connection; closing it rolls back what it had not committed.
using SqliteHandle = std::unique_ptr<sqlite3, SqliteCloser>;

struct StatementCloser {
    void operator()(sqlite3_stmt* stmt) const noexcept { sqlite3_finalize(stmt); }
};
// A prepared statement for code that must not throw (error mapping, SQL functions).
using StatementHandle = std::unique_ptr<sqlite3_stmt, StatementCloser>;

// Opens the SQLite file at `path`; throws StatementError with SQLite's reason.
SqliteHandle openSqlite(const std::string& path, int flags);
// Prepares `sql`; null when SQLite refuses it.
StatementHandle prepareQuietly(sqlite3* db, std::string_view sql);

// The SQL Server message for an SQLite failure on `db` (rc is the result code).
SqlMessage mapSqliteError(sqlite3* db, int rc);
[[noreturn]] void throwSqliteError(sqlite3* db, int rc);

class Statement {
public:
    Statement(sqlite3* db, std::string_view sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int index, const Value& v);  // index from 1
    void bind(int index, std::string_view text);
    void bind(int index, int64_t v);
    // True while a row is available; throws on failure.
    bool step();
    void reset();
    int columnCount() const;
    Value column(int index) const;  // index from 0
    std::string columnText(int index) const;
    int64_t columnInt(int index) const;
    bool columnIsNull(int index) const;
    sqlite3_stmt* handle() const { return stmt_; }

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

// Runs SQL without results (may hold several statements).
void execSql(sqlite3* db, std::string_view sql);
// SQLite's quoting of a name: "name" with " doubled.
std::string quoteName(std::string_view name);
// SQLite's quoting of a text literal: 'text' with ' doubled.
std::string quoteText(std::string_view text);
// A value as an SQLite literal: NULL, 12, 1.5, 'text', X'0A0B'.
std::string sqlLiteral(const Value& v);

}  // namespace standin

#include "sqlite_db.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace standin {
namespace {

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// "t.col" -> "col"
std::string afterDot(std::string_view s) {
    const auto dot = s.rfind('.');
    return std::string(dot == std::string_view::npos ? s : s.substr(dot + 1));
}

std::string beforeDot(std::string_view s) {
    const auto dot = s.find('.');
    return std::string(dot == std::string_view::npos ? s : s.substr(0, dot));
}

// SQLite names the columns ("t.a, t.b"); SQL Server names the constraint
// or index, which the table's unique indexes tell.
SqlMessage describeUniqueViolation(sqlite3* db, const std::string& columns) {
    const std::string table = beforeDot(columns);
    std::vector<std::string> failed;
    for (size_t start = 0; start < columns.size();) {
        size_t end = columns.find(", ", start);
        if (end == std::string::npos) end = columns.size();
        failed.push_back(afterDot(columns.substr(start, end - start)));
        start = end + 2;
    }
    auto columnsOf = [&](const std::string& index) {
        std::vector<std::string> cols;
        if (auto q = prepareQuietly(db, "PRAGMA index_info(" + quoteName(index) + ")")) {
            while (sqlite3_step(q.get()) == SQLITE_ROW) {
                const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(q.get(), 2));
                cols.push_back(name ? name : "");
            }
        }
        return cols;
    };
    std::string origin = "pk", index;  // a rowid primary key has no index of its own
    if (auto q = prepareQuietly(db, "PRAGMA index_list(" + quoteName(table) + ")")) {
        while (sqlite3_step(q.get()) == SQLITE_ROW) {
            const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(q.get(), 1));
            const auto* how = reinterpret_cast<const char*>(sqlite3_column_text(q.get(), 3));
            if (sqlite3_column_int(q.get(), 2) == 0 || !name || !how) continue;
            auto cols = columnsOf(name);
            if (cols.size() != failed.size()) continue;
            bool same = true;
            for (size_t k = 0; k < cols.size(); ++k)
                same = same && sqlite3_stricmp(cols[k].c_str(), failed[k].c_str()) == 0;
            if (same) {
                origin = how;
                index = name;
                break;
            }
        }
    }
    if (origin == "c") {
        return sqlError(
            2601, "Cannot insert duplicate key row in object 'dbo." + table + "' with unique index '" + index + "'.",
            14);
    }
    if (origin == "u") {
        return sqlError(2627,
                        "Violation of UNIQUE KEY constraint 'UQ_" + table +
                            "'. Cannot insert duplicate key in "
                            "object 'dbo." +
                            table + "'.",
                        14);
    }
    return sqlError(2627,
                    "Violation of PRIMARY KEY constraint 'PK_" + table +
                        "'. Cannot insert duplicate key in "
                        "object 'dbo." +
                        table + "'.",
                    14);
}

}  // namespace

SqlMessage mapSqliteError(sqlite3* db, int rc) {
    const std::string msg = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    const int primary = rc & 0xFF;
    if (auto own = errorFromSqlite(msg)) return *own;
    if (startsWith(msg, "no such table: ")) {
        std::string name = msg.substr(15);
        if (startsWith(name, "main.")) name = name.substr(5);
        return sqlError(208, "Invalid object name '" + name + "'.");
    }
    if (startsWith(msg, "no such column: ")) {
        const std::string name = msg.substr(16);
        if (name.find('.') != std::string::npos) {
            return sqlError(4104, "The multi-part identifier \"" + name + "\" could not be bound.");
        }
        return sqlError(207, "Invalid column name '" + name + "'.");
    }
    if (startsWith(msg, "no such function: ")) {
        return sqlError(195, "'" + msg.substr(18) + "' is not a recognized built-in function name.", 15);
    }
    if (startsWith(msg, "near \"")) {
        const auto close = msg.find("\": syntax error");
        if (close != std::string::npos) {
            return sqlError(102, "Incorrect syntax near '" + msg.substr(6, close - 6) + "'.", 15);
        }
    }
    if (msg == "incomplete input") return sqlError(102, "Incorrect syntax near the end of the statement.", 15);
    if (startsWith(msg, "table ") && msg.find(" already exists") != std::string::npos) {
        const std::string name = msg.substr(6, msg.find(" already exists") - 6);
        return sqlError(2714, "There is already an object named '" + name + "' in the database.");
    }
    if (startsWith(msg, "NOT NULL constraint failed: ")) {
        const std::string target = msg.substr(28);
        return sqlError(515,
                        "Cannot insert the value NULL into column '" + afterDot(target) + "', table '" +
                            beforeDot(target) + "'; column does not allow nulls. INSERT fails.",
                        16, 2);
    }
    if (startsWith(msg, "UNIQUE constraint failed: ")) return describeUniqueViolation(db, msg.substr(26));
    if (startsWith(msg, "FOREIGN KEY constraint failed")) {
        return sqlError(547, "The statement conflicted with a FOREIGN KEY constraint.");
    }
    if (startsWith(msg, "CHECK constraint failed")) {
        return sqlError(547, "The statement conflicted with a CHECK constraint.");
    }
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) {
        return sqlError(1222, "Lock request time out period exceeded.");
    }
    if (primary == SQLITE_CONSTRAINT) return sqlError(547, "The statement conflicted with a constraint: " + msg);
    return sqlError(50000, "SQLite: " + msg);
}

void throwSqliteError(sqlite3* db, int rc) { throw StatementError{mapSqliteError(db, rc)}; }

SqliteHandle openSqlite(const std::string& path, int flags) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
    SqliteHandle db(raw);
    if (rc != SQLITE_OK)
        fail(50000, "SQLite cannot open " + path + ": " + (raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)));
    return db;
}

StatementHandle prepareQuietly(sqlite3* db, std::string_view sql) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return nullptr;
    }
    return StatementHandle(stmt);
}

Statement::Statement(sqlite3* db, std::string_view sql) : db_(db) {
    const int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr);
    if (rc != SQLITE_OK) throwSqliteError(db, rc);
    if (stmt_ == nullptr) fail(102, "Incorrect syntax near the end of the statement.", 15);
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

void Statement::bind(int index, const Value& v) {
    switch (v.kind) {
    case Value::Kind::Null: sqlite3_bind_null(stmt_, index); break;
    case Value::Kind::Integer: sqlite3_bind_int64(stmt_, index, v.i); break;
    case Value::Kind::Real: sqlite3_bind_double(stmt_, index, v.r); break;
    case Value::Kind::Text:
        sqlite3_bind_text(stmt_, index, v.s.data(), static_cast<int>(v.s.size()), SQLITE_TRANSIENT);
        break;
    case Value::Kind::Blob:
        sqlite3_bind_blob(stmt_, index, v.s.data(), static_cast<int>(v.s.size()), SQLITE_TRANSIENT);
        break;
    }
}

void Statement::bind(int index, std::string_view text) {
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void Statement::bind(int index, int64_t v) { sqlite3_bind_int64(stmt_, index, v); }

bool Statement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    // Reset, so that a statement kept for reuse takes new values after a failure.
    const SqlMessage error = mapSqliteError(db_, rc);
    sqlite3_reset(stmt_);
    throw StatementError{error};
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int Statement::columnCount() const { return sqlite3_column_count(stmt_); }

Value Statement::column(int index) const {
    switch (sqlite3_column_type(stmt_, index)) {
    case SQLITE_INTEGER: return Value::integer(sqlite3_column_int64(stmt_, index));
    case SQLITE_FLOAT: return Value::real(sqlite3_column_double(stmt_, index));
    case SQLITE_TEXT: {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, index));
        return Value::text(std::string(p, static_cast<size_t>(sqlite3_column_bytes(stmt_, index))));
    }
    case SQLITE_BLOB: {
        const auto* p = static_cast<const char*>(sqlite3_column_blob(stmt_, index));
        return Value::blob(std::string(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(stmt_, index))));
    }
    default: return Value::null();
    }
}

std::string Statement::columnText(int index) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, index));
    return p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(stmt_, index))) : std::string();
}

int64_t Statement::columnInt(int index) const { return sqlite3_column_int64(stmt_, index); }

bool Statement::columnIsNull(int index) const { return sqlite3_column_type(stmt_, index) == SQLITE_NULL; }

void execSql(sqlite3* db, std::string_view sql) {
    std::string copy(sql);
    char* err = nullptr;
    const int rc = sqlite3_exec(db, copy.c_str(), nullptr, nullptr, &err);
    sqlite3_free(err);
    if (rc != SQLITE_OK) throwSqliteError(db, rc);
}

std::string quoteName(std::string_view name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"') out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

std::string sqlLiteral(const Value& v) {
    switch (v.kind) {
    case Value::Kind::Null: return "NULL";
    case Value::Kind::Integer: return std::to_string(v.i);
    case Value::Kind::Real: {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.17g", v.r);
        std::string text = buf;
        // SQLite reads 1e+20 and 3 as numbers; keep a point so that 3.0 stays real.
        if (text.find_first_of(".eEni") == std::string::npos) text += ".0";
        return text;
    }
    case Value::Kind::Text: return quoteText(v.s);
    case Value::Kind::Blob: return "X'" + upperHex(v.s) + "'";
    }
    return "NULL";
}

std::string quoteText(std::string_view text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') out.push_back('\'');
        out.push_back(c);
    }
    out.push_back('\'');
    return out;
}

}  // namespace standin

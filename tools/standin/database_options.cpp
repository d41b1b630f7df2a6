#include "database_options.h"

#include "sqlite_db.h"

namespace standin {

const Collation& storedDatabaseCollation(sqlite3* db) {
    sqlite3_stmt* q = nullptr;
    const Collation* found = nullptr;
    // A missing table is no error: such a database has the default.
    if (sqlite3_prepare_v2(db, "SELECT value FROM __standin_options WHERE name = 'collation'", -1, &q, nullptr) ==
            SQLITE_OK &&
        sqlite3_step(q) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(q, 0));
        if (text) found = findCollation(text);
    }
    sqlite3_finalize(q);
    return found ? *found : defaultCollation();
}

void storeDatabaseCollation(sqlite3* db, const Collation& collation) {
    execSql(db, "CREATE TABLE IF NOT EXISTS __standin_options (name TEXT PRIMARY KEY, value TEXT NOT NULL)");
    Statement q(db, "INSERT OR REPLACE INTO __standin_options (name, value) VALUES ('collation', ?)");
    q.bind(1, std::string_view(collation.name));
    q.step();
}

}  // namespace standin

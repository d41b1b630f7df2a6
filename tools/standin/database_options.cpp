#include "database_options.h"

#include "sqlite_db.h"

namespace standin {

const Collation& storedDatabaseCollation(sqlite3* db) {
    // A missing table is no error: such a database has the default.
    const auto q = prepareQuietly(db, "SELECT value FROM __standin_options WHERE name = 'collation'");
    if (q && sqlite3_step(q.get()) == SQLITE_ROW) {
        if (const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(q.get(), 0))) {
            if (const Collation* found = findCollation(text)) return *found;
        }
    }
    return defaultCollation();
}

void storeDatabaseCollation(sqlite3* db, const Collation& collation) {
    execSql(db, "CREATE TABLE IF NOT EXISTS __standin_options (name TEXT PRIMARY KEY, value TEXT NOT NULL)");
    Statement q(db, "INSERT OR REPLACE INTO __standin_options (name, value) VALUES ('collation', ?)");
    q.bind(1, std::string_view(collation.name));
    q.step();
}

}  // namespace standin

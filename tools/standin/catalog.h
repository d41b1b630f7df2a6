#pragma once
// What SQLite does not keep about a table: each column's declared T-SQL
// type, nullability and identity, the identity's last value, the rowversion
// counter and the T-SQL text of every trigger. Kept in hidden tables inside
// the database's own file, so it commits and rolls back with the data; the
// identity and rowversion counters only ever move on.
#include "sqlite_db.h"
#include "types.h"

#include <cstdint>
#include <map>
#include <optional>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace standin {

struct CatalogColumn {
    std::string name;
    SqlType type;
    bool nullable = true;
    bool identity = false;
    int64_t seed = 1;
    int64_t increment = 1;
    std::string defaultSql;  // SQLite expression of the DEFAULT, empty when none
};

struct TableInfo {
    std::string name;  // as created
    std::vector<CatalogColumn> columns;
    // Index of the column named `name` (ignoring case), or -1.
    int findColumn(const std::string& name) const;
    // Index of the identity column, or -1.
    int identityColumn() const;
    int timestampColumn() const;
};

struct TriggerInfo {
    std::string name;
    std::string table;
    std::string definition;  // the CREATE TRIGGER text exactly as received
    bool onInsert = false, onUpdate = false, onDelete = false, insteadOf = false;
};

// Prefix of every hidden name; user SQL may not name such objects.
inline constexpr const char* HiddenPrefix = "__standin";

class Catalog {
public:
    explicit Catalog(sqlite3* db) : db_(db) {}
    void ensureSchema();

    // Table and trigger descriptions are kept between statements: forgotten
    // when this connection changes or undoes them (invalidate), or when
    // another connection committed anything (refresh, at each statement).
    void refresh() const;
    void invalidate() const;
    // Moves on whenever what is kept was forgotten.
    uint64_t generation() const { return generation_; }

    std::optional<TableInfo> table(const std::string& name) const;
    // Whether a user table of that name exists (cheap: asked for every name a statement uses).
    bool hasTable(const std::string& name) const;
    void addTable(const TableInfo& t);
    void dropTable(const std::string& name);

    // The identity's last value, if one was handed out.
    std::optional<int64_t> lastIdentity(const std::string& table) const;
    void setLastIdentity(const std::string& table, int64_t value);
    // The next identity value, recorded as handed out.
    int64_t takeIdentity(const TableInfo& t);
    // The identity starts again from its seed (TRUNCATE TABLE, a new table).
    void resetIdentity(const std::string& table);
    // The next rowversion of the database.
    int64_t nextRowVersion();
    // Sets the counters this connection moved again, after an SQLite
    // rollback took them back; forgets them once they are committed.
    void reassertCounters();
    void forgetCounters() { written_.clear(); }

    std::optional<TriggerInfo> trigger(const std::string& name) const;
    std::vector<TriggerInfo> triggersOf(const std::string& table) const;
    void addTrigger(const TriggerInfo& t);
    void dropTrigger(const std::string& name);

private:
    void remember(const std::string& counter, int64_t value);

    std::optional<TableInfo> readTable(const std::string& name) const;
    std::vector<TriggerInfo> readTriggersOf(const std::string& table) const;

    sqlite3* db_;
    mutable StatementHandle hasTableQuery_;
    mutable StatementHandle dataVersionQuery_;
    mutable int64_t dataVersion_ = -1;
    mutable uint64_t generation_ = 0;
    mutable std::map<std::string, std::optional<TableInfo>> tables_;      // lower-case name
    mutable std::map<std::string, std::vector<TriggerInfo>> triggersOf_;  // lower-case table
    std::map<std::string, int64_t> written_;  // counter -> highest value handed out, not yet committed
};

}  // namespace standin

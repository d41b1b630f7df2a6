#pragma once
// What SQLite does not keep about a table: each column's declared T-SQL
// type, nullability and identity, the identity's last value, the rowversion
// counter and the T-SQL text of every trigger. Kept in hidden tables inside
// the database's own file, so it commits and rolls back with the data.
#include "types.h"

#include <cstdint>
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

    std::optional<TableInfo> table(const std::string& name) const;
    void addTable(const TableInfo& t);
    void dropTable(const std::string& name);

    // The identity's last value, if one was handed out.
    std::optional<int64_t> lastIdentity(const std::string& table) const;
    void setLastIdentity(const std::string& table, int64_t value);
    // The next identity value, recorded as handed out.
    int64_t takeIdentity(const TableInfo& t);
    // The next rowversion of the database.
    int64_t nextRowVersion();

    std::optional<TriggerInfo> trigger(const std::string& name) const;
    std::vector<TriggerInfo> triggersOf(const std::string& table) const;
    void addTrigger(const TriggerInfo& t);
    void dropTrigger(const std::string& name);

private:
    sqlite3* db_;
};

}  // namespace standin

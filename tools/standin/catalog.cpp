#include "catalog.h"

#include "sqlite_collations.h"
#include "sqlite_db.h"
#include "text_codec.h"

namespace standin {

int TableInfo::findColumn(const std::string& n) const {
    for (size_t k = 0; k < columns.size(); ++k) {
        if (equalsIgnoreCase(columns[k].name, n)) return static_cast<int>(k);
    }
    return -1;
}

int TableInfo::identityColumn() const {
    for (size_t k = 0; k < columns.size(); ++k) {
        if (columns[k].identity) return static_cast<int>(k);
    }
    return -1;
}

int TableInfo::timestampColumn() const {
    for (size_t k = 0; k < columns.size(); ++k) {
        if (columns[k].type.base == BaseType::Timestamp) return static_cast<int>(k);
    }
    return -1;
}

void Catalog::ensureSchema() {
    execSql(db_,
            "CREATE TABLE IF NOT EXISTS __standin_columns ("
            " table_name TEXT NOT NULL COLLATE NOCASE, ordinal INTEGER NOT NULL,"
            " column_name TEXT NOT NULL COLLATE NOCASE, type_name TEXT NOT NULL,"
            " length INTEGER NOT NULL, precision INTEGER NOT NULL, scale INTEGER NOT NULL,"
            " nullable INTEGER NOT NULL, is_identity INTEGER NOT NULL,"
            " seed INTEGER NOT NULL, increment INTEGER NOT NULL, last_identity INTEGER, default_sql TEXT,"
            " PRIMARY KEY (table_name, column_name));"
            "CREATE TABLE IF NOT EXISTS __standin_triggers ("
            " name TEXT NOT NULL PRIMARY KEY COLLATE NOCASE, table_name TEXT NOT NULL COLLATE NOCASE,"
            " definition TEXT NOT NULL, on_insert INTEGER NOT NULL, on_update INTEGER NOT NULL,"
            " on_delete INTEGER NOT NULL, instead_of INTEGER NOT NULL);"
            "CREATE TABLE IF NOT EXISTS __standin_counters (name TEXT PRIMARY KEY, value INTEGER NOT NULL);"
            "CREATE TABLE IF NOT EXISTS __standin_undo (id INTEGER PRIMARY KEY, tran INTEGER NOT NULL,"
            " changes BLOB NOT NULL);"
            "CREATE TABLE IF NOT EXISTS __standin_database (dbid INTEGER NOT NULL, created TEXT NOT NULL);");
}

void Catalog::refresh() const {
    if (!dataVersionQuery_) dataVersionQuery_ = prepareQuietly(db_, "PRAGMA data_version");
    if (!dataVersionQuery_) return invalidate();
    sqlite3_stmt* q = dataVersionQuery_.get();
    const int64_t version = sqlite3_step(q) == SQLITE_ROW ? sqlite3_column_int64(q, 0) : -1;
    sqlite3_reset(q);
    if (version != dataVersion_ || version < 0) invalidate();
    dataVersion_ = version;
}

void Catalog::invalidate() const {
    tables_.clear();
    triggersOf_.clear();
    ++generation_;
}

std::optional<TableInfo> Catalog::table(const std::string& name) const {
    const std::string key = toLower(name);
    auto it = tables_.find(key);
    if (it == tables_.end()) it = tables_.emplace(key, readTable(name)).first;
    return it->second;
}

std::optional<TableInfo> Catalog::readTable(const std::string& name) const {
    Statement q(db_,
                "SELECT table_name, column_name, type_name, length, precision, scale, nullable, is_identity,"
                " seed, increment, default_sql FROM __standin_columns WHERE table_name = ? ORDER BY ordinal");
    q.bind(1, name);
    TableInfo t;
    while (q.step()) {
        t.name = q.columnText(0);
        CatalogColumn c;
        c.name = q.columnText(1);
        const int length = static_cast<int>(q.columnInt(3));
        const int precision = static_cast<int>(q.columnInt(4));
        const int scale = static_cast<int>(q.columnInt(5));
        auto type = makeSqlType(q.columnText(2), 0, 0, false);
        if (!type) continue;
        c.type = *type;
        c.type.length = length;
        c.type.precision = precision;
        c.type.scale = scale;
        c.nullable = q.columnInt(6) != 0;
        c.identity = q.columnInt(7) != 0;
        c.seed = q.columnInt(8);
        c.increment = q.columnInt(9);
        c.defaultSql = q.columnText(10);
        t.columns.push_back(std::move(c));
    }
    if (t.columns.empty()) return std::nullopt;
    readColumnCollations(db_, t);
    return t;
}

bool Catalog::hasTable(const std::string& name) const {
    if (!hasTableQuery_) {
        hasTableQuery_ = prepareQuietly(db_, "SELECT 1 FROM __standin_columns WHERE table_name = ? LIMIT 1");
        if (!hasTableQuery_) return table(name).has_value();
    }
    sqlite3_stmt* q = hasTableQuery_.get();
    sqlite3_bind_text(q, 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    const bool found = sqlite3_step(q) == SQLITE_ROW;
    sqlite3_reset(q);
    sqlite3_clear_bindings(q);
    return found;
}

void Catalog::addTable(const TableInfo& t) {
    invalidate();
    resetIdentity(t.name);  // a table of an earlier name starts afresh
    Statement ins(db_,
                  "INSERT INTO __standin_columns (table_name, ordinal, column_name, type_name, length,"
                  " precision, scale, nullable, is_identity, seed, increment, default_sql)"
                  " VALUES (?,?,?,?,?,?,?,?,?,?,?,?)");
    for (size_t k = 0; k < t.columns.size(); ++k) {
        const auto& c = t.columns[k];
        ins.bind(1, t.name);
        ins.bind(2, static_cast<int64_t>(k));
        ins.bind(3, c.name);
        ins.bind(4, typeBaseName(c.type.base));
        ins.bind(5, static_cast<int64_t>(c.type.length));
        ins.bind(6, static_cast<int64_t>(c.type.precision));
        ins.bind(7, static_cast<int64_t>(c.type.scale));
        ins.bind(8, static_cast<int64_t>(c.nullable));
        ins.bind(9, static_cast<int64_t>(c.identity));
        ins.bind(10, c.seed);
        ins.bind(11, c.increment);
        if (c.defaultSql.empty())
            ins.bind(12, Value::null());
        else
            ins.bind(12, c.defaultSql);
        ins.step();
        ins.reset();
    }
}

void Catalog::dropTable(const std::string& name) {
    invalidate();
    Statement del(db_, "DELETE FROM __standin_columns WHERE table_name = ?");
    del.bind(1, name);
    del.step();
    Statement delTriggers(db_, "DELETE FROM __standin_triggers WHERE table_name = ?");
    delTriggers.bind(1, name);
    delTriggers.step();
}

namespace {

// Identity values live beside the rowversion counter, outside what a
// rollback undoes: SQL Server never hands an identity value out twice.
std::string identityCounter(const std::string& table) { return "identity:" + toLower(table); }

}  // namespace

std::optional<int64_t> Catalog::lastIdentity(const std::string& table) const {
    Statement q(db_, "SELECT value FROM __standin_counters WHERE name = ?");
    q.bind(1, identityCounter(table));
    if (q.step()) return q.columnInt(0);
    // Files written before the counters kept the value in the column list.
    Statement legacy(db_, "SELECT last_identity FROM __standin_columns WHERE table_name = ? AND is_identity = 1");
    legacy.bind(1, table);
    if (!legacy.step() || legacy.columnIsNull(0)) return std::nullopt;
    return legacy.columnInt(0);
}

void Catalog::setLastIdentity(const std::string& table, int64_t value) {
    Statement q(db_,
                "INSERT INTO __standin_counters (name, value) VALUES (?, ?) "
                "ON CONFLICT(name) DO UPDATE SET value = excluded.value");
    q.bind(1, identityCounter(table));
    q.bind(2, value);
    q.step();
    remember(identityCounter(table), value);
}

void Catalog::resetIdentity(const std::string& table) {
    written_.erase(identityCounter(table));
    Statement q(db_, "DELETE FROM __standin_counters WHERE name = ?");
    q.bind(1, identityCounter(table));
    q.step();
    Statement legacy(db_, "UPDATE __standin_columns SET last_identity = NULL WHERE table_name = ?");
    legacy.bind(1, table);
    legacy.step();
}

int64_t Catalog::takeIdentity(const TableInfo& t) {
    const int col = t.identityColumn();
    const auto& c = t.columns[static_cast<size_t>(col)];
    const auto last = lastIdentity(t.name);
    const int64_t next = last ? *last + c.increment : c.seed;
    setLastIdentity(t.name, next);
    return next;
}

int64_t Catalog::nextRowVersion() {
    execSql(db_,
            "INSERT INTO __standin_counters (name, value) VALUES ('rowversion', 2000) "
            "ON CONFLICT(name) DO UPDATE SET value = value + 1");
    Statement q(db_, "SELECT value FROM __standin_counters WHERE name = 'rowversion'");
    q.step();
    const int64_t value = q.columnInt(0);
    remember("rowversion", value);
    return value;
}

void Catalog::remember(const std::string& counter, int64_t value) {
    auto [it, added] = written_.emplace(counter, value);
    if (!added) it->second = value;
}

void Catalog::reassertCounters() {
    if (written_.empty()) return;
    Statement q(db_,
                "INSERT INTO __standin_counters (name, value) VALUES (?, ?) "
                "ON CONFLICT(name) DO UPDATE SET value = max(value, excluded.value)");
    for (const auto& [name, value] : written_) {
        q.bind(1, name);
        q.bind(2, value);
        q.step();
        q.reset();
    }
}

namespace {

TriggerInfo readTrigger(const Statement& q) {
    TriggerInfo t;
    t.name = q.columnText(0);
    t.table = q.columnText(1);
    t.definition = q.columnText(2);
    t.onInsert = q.columnInt(3) != 0;
    t.onUpdate = q.columnInt(4) != 0;
    t.onDelete = q.columnInt(5) != 0;
    t.insteadOf = q.columnInt(6) != 0;
    return t;
}

constexpr const char* TriggerColumns =
    "SELECT name, table_name, definition, on_insert, on_update, on_delete, instead_of FROM __standin_triggers ";

}  // namespace

std::optional<TriggerInfo> Catalog::trigger(const std::string& name) const {
    Statement q(db_, std::string(TriggerColumns) + "WHERE name = ?");
    q.bind(1, name);
    if (!q.step()) return std::nullopt;
    return readTrigger(q);
}

std::vector<TriggerInfo> Catalog::triggersOf(const std::string& table) const {
    const std::string key = toLower(table);
    auto it = triggersOf_.find(key);
    if (it == triggersOf_.end()) it = triggersOf_.emplace(key, readTriggersOf(table)).first;
    return it->second;
}

std::vector<TriggerInfo> Catalog::readTriggersOf(const std::string& table) const {
    Statement q(db_, std::string(TriggerColumns) + "WHERE table_name = ? ORDER BY rowid");
    q.bind(1, table);
    std::vector<TriggerInfo> out;
    while (q.step()) out.push_back(readTrigger(q));
    return out;
}

void Catalog::addTrigger(const TriggerInfo& t) {
    invalidate();
    Statement q(db_,
                "INSERT INTO __standin_triggers (name, table_name, definition, on_insert, on_update, on_delete,"
                " instead_of) VALUES (?,?,?,?,?,?,?)");
    q.bind(1, t.name);
    q.bind(2, t.table);
    q.bind(3, t.definition);
    q.bind(4, static_cast<int64_t>(t.onInsert));
    q.bind(5, static_cast<int64_t>(t.onUpdate));
    q.bind(6, static_cast<int64_t>(t.onDelete));
    q.bind(7, static_cast<int64_t>(t.insteadOf));
    q.step();
}

void Catalog::dropTrigger(const std::string& name) {
    invalidate();
    Statement q(db_, "DELETE FROM __standin_triggers WHERE name = ?");
    q.bind(1, name);
    q.step();
}

}  // namespace standin

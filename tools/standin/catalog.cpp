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
            "CREATE TABLE IF NOT EXISTS __standin_counters (name TEXT PRIMARY KEY, value INTEGER NOT NULL);");
}

std::optional<TableInfo> Catalog::table(const std::string& name) const {
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

void Catalog::addTable(const TableInfo& t) {
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
        if (c.defaultSql.empty()) ins.bind(12, Value::null()); else ins.bind(12, c.defaultSql);
        ins.step();
        ins.reset();
    }
}

void Catalog::dropTable(const std::string& name) {
    Statement del(db_, "DELETE FROM __standin_columns WHERE table_name = ?");
    del.bind(1, name);
    del.step();
    Statement delTriggers(db_, "DELETE FROM __standin_triggers WHERE table_name = ?");
    delTriggers.bind(1, name);
    delTriggers.step();
}

std::optional<int64_t> Catalog::lastIdentity(const std::string& table) const {
    Statement q(db_, "SELECT last_identity FROM __standin_columns WHERE table_name = ? AND is_identity = 1");
    q.bind(1, table);
    if (!q.step() || q.columnIsNull(0)) return std::nullopt;
    return q.columnInt(0);
}

void Catalog::setLastIdentity(const std::string& table, int64_t value) {
    Statement q(db_, "UPDATE __standin_columns SET last_identity = ? WHERE table_name = ? AND is_identity = 1");
    q.bind(1, value);
    q.bind(2, table);
    q.step();
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
    return q.columnInt(0);
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
    Statement q(db_, std::string(TriggerColumns) + "WHERE table_name = ? ORDER BY rowid");
    q.bind(1, table);
    std::vector<TriggerInfo> out;
    while (q.step()) out.push_back(readTrigger(q));
    return out;
}

void Catalog::addTrigger(const TriggerInfo& t) {
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
    Statement q(db_, "DELETE FROM __standin_triggers WHERE name = ?");
    q.bind(1, name);
    q.step();
}

}  // namespace standin

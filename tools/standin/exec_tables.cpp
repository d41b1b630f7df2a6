// CREATE TABLE and DROP TABLE: the SQLite table, plus the catalogue rows
// that keep each column's T-SQL type, nullability and identity.
#include "create_table.h"
#include "executor.h"
#include "sqlite_db.h"
#include "text_codec.h"

namespace standin {

void Executor::runCreateTable(const StatementText& s, StatementOutcome&) {
    std::string name;
    const size_t k = readObjectName(s, 2, name);
    if (k == 2) syntaxErrorAt(s, 2);
    checkUserName(name);
    if (!name.empty() && name.front() == '#') fail(50000, "Temporary tables are not supported by the stand-in.");
    if (catalog_->table(name) || catalog_->trigger(name)) {
        fail(2714, "There is already an object named '" + name + "' in the database.");
    }
    const TableDefinition definition = readTableDefinition(s, k, name, conversionContext());
    execSql(db_, definition.sqliteDdl);
    noteSchemaChange("DROP TABLE " + quoteName(name));
    catalog_->addTable(definition.table);
}

void Executor::runDropTable(const StatementText& s, StatementOutcome&) {
    forEachDropped(s, [&](const std::string& name, bool ifExists) {
        checkUserName(name);
        const auto table = catalog_->table(name);
        if (!table) {
            if (ifExists) return;
            fail(3701, "Cannot drop the table '" + name + "', because it does not exist or you do not have permission.",
                 11, 5);
        }
        dropSqliteTable(table->name);
        catalog_->dropTable(table->name);
        if (equalsIgnoreCase(identityInsertTable_, table->name)) identityInsertTable_.clear();
    });
}

}  // namespace standin

namespace standin {

void Executor::runCreateIndex(const StatementText& s, StatementOutcome&) {
    size_t k = 1;
    const bool unique = s.has(k) && s.at(k).is("unique");
    if (unique) ++k;
    if (s.has(k) && (s.at(k).is("clustered") || s.at(k).is("nonclustered"))) ++k;
    if (!s.has(k) || !s.at(k).is("index")) syntaxErrorAt(s, k);
    if (!s.has(k + 1) || !s.at(k + 1).isName()) syntaxErrorAt(s, k + 1);
    const std::string index = s.at(k + 1).text;
    checkUserName(index);
    k += 2;
    if (!s.has(k) || !s.at(k).is("on")) syntaxErrorAt(s, k);
    std::string name;
    const size_t after = readObjectName(s, k + 1, name);
    if (after == k + 1) syntaxErrorAt(s, k + 1);
    const TableInfo table = requireTable(name);
    if (!s.has(after) || !s.at(after).isSymbol("(")) syntaxErrorAt(s, after);
    const size_t close = matchingParen(s, after);
    std::string cols;
    for (auto [a, b] : splitTopLevel(s, after + 1, close)) {
        if (a >= b || !s.at(a).isName()) syntaxErrorAt(s, a);
        if (table.findColumn(s.at(a).text) < 0) {
            fail(1911, "Column name '" + s.at(a).text + "' does not exist in the target table or view.");
        }
        cols += (cols.empty() ? "" : ", ") + quoteName(s.at(a).text);
        if (b == a + 2 && (s.at(a + 1).is("asc") || s.at(a + 1).is("desc")))
            cols += " " + s.at(a + 1).text;
        else if (b != a + 1)
            syntaxErrorAt(s, a + 1);
    }
    {
        Statement exists(db_, "SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = ? COLLATE NOCASE");
        exists.bind(1, index);
        if (exists.step()) {
            fail(1913, "The operation failed because an index or statistics with name '" + index +
                           "' already exists on table '" + table.name + "'.");
        }
    }
    execSql(db_, std::string("CREATE ") + (unique ? "UNIQUE " : "") + "INDEX " + quoteName(index) + " ON " +
                     quoteName(table.name) + " (" + cols + ")");
    noteSchemaChange("DROP INDEX " + quoteName(index));
}

void Executor::runDropIndex(const StatementText& s, StatementOutcome&) {
    // DROP INDEX table.index, or DROP INDEX index ON table.
    std::string index;
    const size_t after = readObjectName(s, 2, index);
    if (after == 2) syntaxErrorAt(s, 2);
    if (s.has(after) && s.at(after).is("on")) {
        std::string table;
        if (readObjectName(s, after + 1, table) == after + 1) syntaxErrorAt(s, after + 1);
    } else if (s.has(after)) {
        syntaxErrorAt(s, after);
    }
    checkUserName(index);
    std::string stored;
    {
        Statement exists(db_, "SELECT name FROM sqlite_master WHERE type = 'index' AND name = ? COLLATE NOCASE");
        exists.bind(1, index);
        if (!exists.step()) {
            fail(3701,
                 "Cannot drop the index '" + index + "', because it does not exist or you do not have permission.", 11,
                 7);
        }
        stored = exists.columnText(0);
    }
    Statement definition(db_, "SELECT sql FROM sqlite_master WHERE type = 'index' AND name = ?");
    definition.bind(1, stored);
    if (definition.step()) noteSchemaChange(definition.columnText(0));
    execSql(db_, "DROP INDEX " + quoteName(stored));
}

}  // namespace standin

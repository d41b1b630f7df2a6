// CREATE TABLE and DROP TABLE: the SQLite table, plus the catalogue rows
// that keep each column's T-SQL type, nullability and identity.
#include "executor.h"
#include "sql_translate.h"
#include "sqlite_db.h"
#include "text_codec.h"

namespace standin {
namespace {

bool isConstraintStart(const Token& t) {
    return t.is("constraint") || t.is("primary") || t.is("unique") || t.is("foreign") || t.is("check");
}

// Words that may follow a column's type.
bool isColumnOption(const Token& t) {
    return t.is("null") || t.is("not") || t.is("identity") || t.is("primary") || t.is("unique") ||
           t.is("default") || t.is("constraint") || t.is("check") || t.is("references") || t.is("collate") ||
           t.is("rowguidcol") || t.is("foreign");
}

// Reads "(a [ASC|DESC], b ...)" at k; returns the SQLite column list.
std::string columnList(const StatementText& s, size_t& k) {
    if (!s.has(k) || !s.at(k).isSymbol("(")) syntaxErrorAt(s, k);
    const size_t close = matchingParen(s, k);
    std::string out = "(";
    for (auto [a, b] : splitTopLevel(s, k + 1, close)) {
        if (a >= b || !s.at(a).isName()) syntaxErrorAt(s, a);
        if (out.size() > 1) out += ", ";
        out += quoteName(s.at(a).text);
    }
    k = close + 1;
    return out + ")";
}

void skipClusteredWord(const StatementText& s, size_t& k) {
    if (s.has(k) && (s.at(k).is("clustered") || s.at(k).is("nonclustered"))) ++k;
}

}  // namespace

void Executor::runCreateTable(const StatementText& s, StatementOutcome&) {
    std::string name;
    size_t k = readObjectName(s, 2, name);
    if (k == 2) syntaxErrorAt(s, 2);
    checkUserName(name);
    if (!name.empty() && name.front() == '#') fail(50000, "Temporary tables are not supported by the stand-in.");
    if (catalog_->table(name) || catalog_->trigger(name)) {
        fail(2714, "There is already an object named '" + name + "' in the database.");
    }
    if (!s.has(k) || !s.at(k).isSymbol("(")) syntaxErrorAt(s, k);
    const size_t close = matchingParen(s, k);
    // Anything after the column list must be a filegroup clause.
    for (size_t j = close + 1; j < s.size(); ++j) {
        if (!(s.at(j).is("on") || s.at(j).is("textimage_on") || s.at(j).isName())) syntaxErrorAt(s, j);
    }
    TableInfo table;
    table.name = name;
    std::vector<std::string> sqliteParts;
    TranslateContext plain;
    int columnNumber = 0;
    for (auto [a, b] : splitTopLevel(s, k + 1, close)) {
        if (a >= b) syntaxErrorAt(s, a);
        size_t j = a;
        if (isConstraintStart(s.at(j))) {
            // Table constraint.
            std::string part;
            if (s.at(j).is("constraint")) {
                if (!s.has(j + 1) || !s.at(j + 1).isName()) syntaxErrorAt(s, j + 1);
                part = "CONSTRAINT " + quoteName(s.at(j + 1).text) + " ";
                j += 2;
            }
            if (s.has(j + 1) && s.at(j).is("primary") && s.at(j + 1).is("key")) {
                j += 2;
                skipClusteredWord(s, j);
                size_t before = j;
                part += "PRIMARY KEY " + columnList(s, j);
                // Key columns never hold nulls.
                const size_t listClose = matchingParen(s, before);
                for (size_t c = before + 1; c < listClose; ++c) {
                    if (!s.at(c).isName()) continue;
                    const int idx = table.findColumn(s.at(c).text);
                    if (idx >= 0) table.columns[static_cast<size_t>(idx)].nullable = false;
                }
            } else if (s.at(j).is("unique")) {
                ++j;
                skipClusteredWord(s, j);
                part += "UNIQUE " + columnList(s, j);
            } else if (s.has(j + 1) && s.at(j).is("foreign") && s.at(j + 1).is("key")) {
                j += 2;
                part += "FOREIGN KEY " + columnList(s, j);
                if (!s.has(j) || !s.at(j).is("references")) syntaxErrorAt(s, j);
                part += " " + translateToSqlite(s.sub(j, b), plain);
                j = b;
            } else if (s.at(j).is("check")) {
                part += translateToSqlite(s.sub(j, b), plain);
                j = b;
            } else {
                syntaxErrorAt(s, j);
            }
            if (j != b) syntaxErrorAt(s, j);
            sqliteParts.push_back(part);
            continue;
        }
        // Column definition: name type [(args)] options...
        ++columnNumber;
        CatalogColumn col;
        if (!s.at(j).isName()) syntaxErrorAt(s, j);
        col.name = s.at(j).text;
        if (table.findColumn(col.name) >= 0) {
            fail(2705, "Column names in each table must be unique. Column name '" + col.name + "' in table '" +
                           name + "' is specified more than once.");
        }
        ++j;
        if (j >= b || s.at(j).is("as")) fail(50000, "Computed columns are not supported by the stand-in.");
        if (!s.at(j).isName()) syntaxErrorAt(s, j);
        std::string typeName = s.at(j).text;
        ++j;
        if (equalsIgnoreCase(typeName, "dbo") && j + 1 < b && s.at(j).isSymbol(".")) {
            typeName = s.at(j + 1).text;
            j += 2;
        }
        if (j < b && s.at(j).is("varying") && (equalsIgnoreCase(typeName, "char") || equalsIgnoreCase(typeName, "nchar"))) {
            typeName = equalsIgnoreCase(typeName, "char") ? "varchar" : "nvarchar";
            ++j;
        }
        int arg1 = 0, arg2 = 0;
        bool hasArgs = false;
        if (j < b && s.at(j).isSymbol("(")) {
            const size_t argClose = matchingParen(s, j);
            auto args = splitTopLevel(s, j + 1, argClose);
            if (args.empty() || args.size() > 2) syntaxErrorAt(s, j + 1);
            auto readArg = [&](std::pair<size_t, size_t> r) {
                if (r.second != r.first + 1) syntaxErrorAt(s, r.first);
                const Token& t = s.at(r.first);
                if (t.is("max")) return static_cast<int>(SqlType::MaxLength);
                if (t.kind != TokenKind::Number) syntaxErrorAt(s, r.first);
                return std::atoi(t.text.c_str());
            };
            arg1 = readArg(args[0]);
            if (args.size() == 2) arg2 = readArg(args[1]);
            hasArgs = true;
            j = argClose + 1;
        }
        auto type = makeSqlType(typeName, arg1, arg2, hasArgs);
        if (!type) {
            fail(2715, "Column, parameter, or variable #" + std::to_string(columnNumber) +
                           ": Cannot find data type " + typeName + ".", 16, 6);
        }
        const bool maxAllowed = type->base == BaseType::NVarChar || type->base == BaseType::VarChar ||
                                type->base == BaseType::VarBinary;
        if (type->length == SqlType::MaxLength && !maxAllowed && type->isText() && hasArgs) syntaxErrorAt(s, j - 2);
        if ((type->isText() || type->isBinary()) && type->length != SqlType::MaxLength && hasArgs &&
            (type->length <= 0 || (type->isUnicodeText() && type->length > 4000) || type->length > 8000)) {
            fail(2717, "The size (" + std::to_string(type->length) + ") given to the column '" + col.name +
                           "' exceeds the maximum allowed for any data type (8000).");
        }
        col.type = *type;
        std::string def = quoteName(col.name) + " " + sqliteColumnType(col.type);
        bool primaryKey = false;
        while (j < b) {
            const Token& t = s.at(j);
            if (t.is("null")) {
                col.nullable = true;
                ++j;
            } else if (t.is("not") && j + 1 < b && s.at(j + 1).is("null")) {
                col.nullable = false;
                j += 2;
            } else if (t.is("not") && j + 2 < b && s.at(j + 1).is("for") && s.at(j + 2).is("replication")) {
                j += 3;
            } else if (t.is("identity")) {
                if (!col.type.isInteger() && !((col.type.base == BaseType::Decimal || col.type.base == BaseType::Numeric) && col.type.scale == 0)) {
                    fail(2749, "Identity column '" + col.name + "' must be of data type int, bigint, smallint, tinyint, "
                               "or decimal or numeric with a scale of 0, and constrained to be nonnullable.");
                }
                if (table.identityColumn() >= 0) {
                    fail(2744, "Multiple identity columns specified for table '" + name +
                                   "'. Only one identity column per table is allowed.");
                }
                col.identity = true;
                col.nullable = false;
                ++j;
                if (j < b && s.at(j).isSymbol("(")) {
                    const size_t argClose = matchingParen(s, j);
                    auto args = splitTopLevel(s, j + 1, argClose);
                    if (args.size() != 2) syntaxErrorAt(s, j + 1);
                    col.seed = std::stoll(s.text(args[0].first, args[0].second));
                    col.increment = std::stoll(s.text(args[1].first, args[1].second));
                    if (col.increment == 0) fail(50000, "An identity increment of 0 is not allowed.");
                    j = argClose + 1;
                }
            } else if (t.is("primary") && j + 1 < b && s.at(j + 1).is("key")) {
                j += 2;
                skipClusteredWord(s, j);
                def += " PRIMARY KEY";
                primaryKey = true;
            } else if (t.is("unique")) {
                ++j;
                skipClusteredWord(s, j);
                def += " UNIQUE";
            } else if (t.is("constraint")) {
                if (j + 1 >= b || !s.at(j + 1).isName()) syntaxErrorAt(s, j + 1);
                j += 2;  // the name of the constraint that follows
            } else if (t.is("default")) {
                // The default runs to the next option word outside parentheses.
                size_t e = j + 1;
                int depth = 0;
                for (; e < b; ++e) {
                    if (s.at(e).isSymbol("(")) ++depth;
                    else if (s.at(e).isSymbol(")")) --depth;
                    else if (depth == 0 && e > j + 1 && isColumnOption(s.at(e))) break;
                }
                if (e == j + 1) syntaxErrorAt(s, e);
                col.defaultSql = translateToSqlite(s.sub(j + 1, e), plain);
                def += " DEFAULT (" + col.defaultSql + ")";
                j = e;
            } else if (t.is("check") && j + 1 < b && s.at(j + 1).isSymbol("(")) {
                const size_t e = matchingParen(s, j + 1) + 1;
                def += " " + translateToSqlite(s.sub(j, e), plain);
                j = e;
            } else if (t.is("references")) {
                size_t e = j + 1;
                std::string target;
                e = readObjectName(s, e, target);
                std::string ref = " REFERENCES " + quoteName(target);
                if (e < b && s.at(e).isSymbol("(")) ref += " " + columnList(s, e);
                while (e < b && s.at(e).is("on")) {
                    const size_t stop = std::min(b, e + 3);
                    ref += " " + s.text(e, stop);
                    e = stop;
                }
                def += ref;
                j = e;
            } else if (t.is("collate")) {
                j += 2;  // text always compares without regard to case here
            } else if (t.is("rowguidcol")) {
                ++j;
            } else {
                syntaxErrorAt(s, j);
            }
        }
        if (primaryKey) col.nullable = false;
        if (!col.nullable && !col.identity && col.type.base != BaseType::Timestamp) def += " NOT NULL";
        if (col.type.base == BaseType::Timestamp) {
            if (table.timestampColumn() >= 0) {
                fail(2738, "A table can only have one timestamp column. Because table '" + name +
                               "' already has one, the column '" + col.name + "' cannot be added.");
            }
            col.nullable = false;
        }
        sqliteParts.insert(sqliteParts.begin() + static_cast<long>(table.columns.size()), def);
        table.columns.push_back(std::move(col));
    }
    if (table.columns.empty()) syntaxErrorAt(s, close);
    std::string ddl = "CREATE TABLE " + quoteName(name) + " (";
    for (size_t p = 0; p < sqliteParts.size(); ++p) ddl += (p ? ", " : "") + sqliteParts[p];
    execSql(db_, ddl + ")");
    noteSchemaChange("DROP TABLE " + quoteName(name));
    catalog_->addTable(table);
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
        if (b == a + 2 && (s.at(a + 1).is("asc") || s.at(a + 1).is("desc"))) cols += " " + s.at(a + 1).text;
        else if (b != a + 1) syntaxErrorAt(s, a + 1);
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
            fail(3701, "Cannot drop the index '" + index + "', because it does not exist or you do not have permission.",
                 11, 7);
        }
        stored = exists.columnText(0);
    }
    Statement definition(db_, "SELECT sql FROM sqlite_master WHERE type = 'index' AND name = ?");
    definition.bind(1, stored);
    if (definition.step()) noteSchemaChange(definition.columnText(0));
    execSql(db_, "DROP INDEX " + quoteName(stored));
}

}  // namespace standin

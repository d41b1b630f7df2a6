#include "create_table.h"

#include "numeric_text.h"
#include "sql_error.h"
#include "sql_translate.h"
#include "sqlite_db.h"
#include "text_codec.h"

#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

namespace standin {
namespace {

bool isConstraintStart(const Token& t) {
    return t.is("constraint") || t.is("primary") || t.is("unique") || t.is("foreign") || t.is("check");
}

// Words that may follow a column's type.
bool isColumnOption(const Token& t) {
    return t.is("null") || t.is("not") || t.is("identity") || t.is("primary") || t.is("unique") || t.is("default") ||
           t.is("constraint") || t.is("check") || t.is("references") || t.is("collate") || t.is("rowguidcol") ||
           t.is("foreign");
}

// Reads "(a [ASC|DESC], b ...)" at k; returns the SQLite column list.
std::string columnList(const StatementText& s, size_t& k, std::vector<std::string>* names = nullptr) {
    if (!s.has(k) || !s.at(k).isSymbol("(")) syntaxErrorAt(s, k);
    const size_t close = matchingParen(s, k);
    std::string out = "(";
    for (auto [a, b] : splitTopLevel(s, k + 1, close)) {
        if (a >= b || !s.at(a).isName()) syntaxErrorAt(s, a);
        if (out.size() > 1) out += ", ";
        out += quoteName(s.at(a).text);
        if (names) names->push_back(s.at(a).text);
    }
    k = close + 1;
    return out + ")";
}

void skipClusteredWord(const StatementText& s, size_t& k) {
    if (s.has(k) && (s.at(k).is("clustered") || s.at(k).is("nonclustered"))) ++k;
}

// [CONSTRAINT name] PRIMARY KEY (...) | UNIQUE (...) | FOREIGN KEY (...)
// REFERENCES ... | CHECK (...) in tokens [j, end), as SQLite text. The
// primary key's columns are added to `keyColumns`.
std::string readTableConstraint(const StatementText& s, size_t j, size_t end, std::vector<std::string>& keyColumns) {
    std::string part;
    if (s.at(j).is("constraint")) {
        if (!s.has(j + 1) || !s.at(j + 1).isName()) syntaxErrorAt(s, j + 1);
        part = "CONSTRAINT " + quoteName(s.at(j + 1).text) + " ";
        j += 2;
    }
    const TranslateContext plain;
    if (s.has(j + 1) && s.at(j).is("primary") && s.at(j + 1).is("key")) {
        j += 2;
        skipClusteredWord(s, j);
        part += "PRIMARY KEY " + columnList(s, j, &keyColumns);
    } else if (s.has(j) && s.at(j).is("unique")) {
        ++j;
        skipClusteredWord(s, j);
        part += "UNIQUE " + columnList(s, j);
    } else if (s.has(j + 1) && s.at(j).is("foreign") && s.at(j + 1).is("key")) {
        j += 2;
        part += "FOREIGN KEY " + columnList(s, j);
        if (!s.has(j) || !s.at(j).is("references")) syntaxErrorAt(s, j);
        part += " " + translateToSqlite(s.sub(j, end), plain);
        j = end;
    } else if (s.has(j) && s.at(j).is("check")) {
        part += translateToSqlite(s.sub(j, end), plain);
        j = end;
    } else {
        syntaxErrorAt(s, j);
    }
    if (j != end) syntaxErrorAt(s, j);
    return part;
}

// The type after a column's name: name [(length | precision[, scale] | max)].
SqlType readColumnType(const StatementText& s, size_t& j, size_t end, int columnNumber, const std::string& column) {
    if (j >= end || s.at(j).is("as")) fail(50000, "Computed columns are not supported by the stand-in.");
    if (!s.at(j).isName()) syntaxErrorAt(s, j);
    std::string typeName = s.at(j).text;
    ++j;
    if (equalsIgnoreCase(typeName, "dbo") && j + 1 < end && s.at(j).isSymbol(".")) {
        typeName = s.at(j + 1).text;
        j += 2;
    }
    if (j < end && s.at(j).is("varying") &&
        (equalsIgnoreCase(typeName, "char") || equalsIgnoreCase(typeName, "nchar"))) {
        typeName = equalsIgnoreCase(typeName, "char") ? "varchar" : "nvarchar";
        ++j;
    }
    int args[2] = {0, 0};
    bool hasArgs = false;
    if (j < end && s.at(j).isSymbol("(")) {
        const size_t close = matchingParen(s, j);
        const auto parts = splitTopLevel(s, j + 1, close);
        if (parts.empty() || parts.size() > 2) syntaxErrorAt(s, j + 1);
        for (size_t a = 0; a < parts.size(); ++a) {
            const auto [from, to] = parts[a];
            if (to != from + 1) syntaxErrorAt(s, from);
            const Token& t = s.at(from);
            if (t.is("max"))
                args[a] = SqlType::MaxLength;
            else if (t.kind == TokenKind::Number)
                args[a] = std::atoi(t.text.c_str());
            else
                syntaxErrorAt(s, from);
        }
        hasArgs = true;
        j = close + 1;
    }
    auto type = makeSqlType(typeName, args[0], args[1], hasArgs);
    if (!type) {
        fail(2715,
             "Column, parameter, or variable #" + std::to_string(columnNumber) + ": Cannot find data type " + typeName +
                 ".",
             16, 6);
    }
    const bool maxAllowed =
        type->base == BaseType::NVarChar || type->base == BaseType::VarChar || type->base == BaseType::VarBinary;
    if (type->length == SqlType::MaxLength && !maxAllowed && type->isText() && hasArgs) syntaxErrorAt(s, j - 2);
    if ((type->isText() || type->isBinary()) && type->length != SqlType::MaxLength && hasArgs &&
        (type->length <= 0 || (type->isUnicodeText() && type->length > 4000) || type->length > 8000)) {
        fail(2717, "The size (" + std::to_string(type->length) + ") given to the column '" + column +
                       "' exceeds the maximum allowed for any data type (8000).");
    }
    return *type;
}

struct ColumnDefinition {
    CatalogColumn column;
    std::string constraints;  // SQLite text: PRIMARY KEY, UNIQUE, CHECK, REFERENCES
};

// IDENTITY [(seed, increment)] at j.
void readIdentity(const StatementText& s, size_t& j, size_t end, CatalogColumn& col, const TableInfo& table) {
    const SqlType& t = col.type;
    if (!t.isInteger() && !((t.base == BaseType::Decimal || t.base == BaseType::Numeric) && t.scale == 0)) {
        fail(2749, "Identity column '" + col.name +
                       "' must be of data type int, bigint, smallint, tinyint, "
                       "or decimal or numeric with a scale of 0, and constrained to be nonnullable.");
    }
    if (table.identityColumn() >= 0) {
        fail(2744, "Multiple identity columns specified for table '" + table.name +
                       "'. Only one identity column per table is allowed.");
    }
    col.identity = true;
    col.nullable = false;
    ++j;
    if (j >= end || !s.at(j).isSymbol("(")) return;
    const size_t close = matchingParen(s, j);
    const auto args = splitTopLevel(s, j + 1, close);
    if (args.size() != 2) syntaxErrorAt(s, j + 1);
    // Whole numbers only: a seed of 'x' or 1.5 is a syntax error, not a crash.
    auto number = [&](std::pair<size_t, size_t> r) {
        const auto v = parseIntegerText(s.text(r.first, r.second));
        if (!v) syntaxErrorAt(s, r.first);
        return static_cast<int64_t>(*v);
    };
    col.seed = number(args[0]);
    col.increment = number(args[1]);
    if (col.increment == 0) fail(50000, "An identity increment of 0 is not allowed.");
    j = close + 1;
}

// DEFAULT expression at j: it runs to the next option word outside
// parentheses. Returns the expression's tokens.
std::pair<size_t, size_t> readDefault(const StatementText& s, size_t& j, size_t end) {
    size_t e = j + 1;
    int depth = 0;
    for (; e < end; ++e) {
        if (s.at(e).isSymbol("("))
            ++depth;
        else if (s.at(e).isSymbol(")"))
            --depth;
        else if (depth == 0 && e > j + 1 && isColumnOption(s.at(e)))
            break;
    }
    if (e == j + 1) syntaxErrorAt(s, e);
    const std::pair<size_t, size_t> expression{j + 1, e};
    j = e;
    return expression;
}

// The SQLite text of a DEFAULT: a literal (in any parentheses, as
// DEFAULT ((0))) converted to the column's type as an inserted value is,
// so that a date default is stored as dates are; other expressions, and
// literals the type refuses, as they translate.
std::string defaultSql(const StatementText& s, std::pair<size_t, size_t> expression, const CatalogColumn& col,
                       const ConversionContext& session) {
    auto [from, to] = expression;
    while (to - from >= 3 && s.at(from).isSymbol("(") && matchingParen(s, from) == to - 1) {
        ++from;
        --to;
    }
    if (auto literal = literalIn(s, from, to); literal && col.type.base != BaseType::Timestamp) {
        try {
            return sqlLiteral(convertForColumn(*literal, col, session));
        } catch (const StatementError&) {
            // SQL Server refuses such a default only when a row needs it.
        }
    }
    return translateToSqlite(s.sub(expression.first, expression.second), TranslateContext{});
}

// REFERENCES table [(columns)] [ON DELETE|UPDATE action] at j.
std::string readReferences(const StatementText& s, size_t& j, size_t end) {
    std::string target;
    size_t e = readObjectName(s, j + 1, target);
    std::string ref = " REFERENCES " + quoteName(target);
    if (e < end && s.at(e).isSymbol("(")) ref += " " + columnList(s, e);
    while (e < end && s.at(e).is("on")) {
        const size_t stop = std::min(end, e + 3);
        ref += " " + s.text(e, stop);
        e = stop;
    }
    j = e;
    return ref;
}

// COLLATE name at j: a collation the stand-in knows, for a text column.
const Collation& readCollate(const StatementText& s, size_t& j, size_t end, const CatalogColumn& col) {
    if (j + 1 >= end || !s.at(j + 1).isName()) syntaxErrorAt(s, j + 1);
    const std::string name = s.at(j + 1).text;
    const Collation* c = findCollation(name);
    if (!c) fail(448, "Invalid collation '" + name + "'.");
    if (!col.type.isText()) {
        fail(447, "Expression type " + typeBaseName(col.type.base) + " is invalid for COLLATE clause.");
    }
    j += 2;
    return *c;
}

// name type options... in tokens [from, end).
ColumnDefinition readColumn(const StatementText& s, size_t from, size_t end, int number, const TableInfo& table,
                            const ConversionContext& session) {
    ColumnDefinition d;
    CatalogColumn& col = d.column;
    size_t j = from;
    if (!s.at(j).isName()) syntaxErrorAt(s, j);
    col.name = s.at(j).text;
    if (table.findColumn(col.name) >= 0) {
        fail(2705, "Column names in each table must be unique. Column name '" + col.name + "' in table '" + table.name +
                       "' is specified more than once.");
    }
    ++j;
    col.type = readColumnType(s, j, end, number, col.name);
    if (col.type.isText()) col.type.collation = session.collation;
    bool primaryKey = false;
    std::optional<std::pair<size_t, size_t>> defaultExpression;
    while (j < end) {
        const Token& t = s.at(j);
        if (t.is("null")) {
            col.nullable = true;
            ++j;
        } else if (t.is("not") && j + 1 < end && s.at(j + 1).is("null")) {
            col.nullable = false;
            j += 2;
        } else if (t.is("not") && j + 2 < end && s.at(j + 1).is("for") && s.at(j + 2).is("replication")) {
            j += 3;
        } else if (t.is("identity")) {
            readIdentity(s, j, end, col, table);
        } else if (t.is("primary") && j + 1 < end && s.at(j + 1).is("key")) {
            j += 2;
            skipClusteredWord(s, j);
            d.constraints += " PRIMARY KEY";
            primaryKey = true;
        } else if (t.is("unique")) {
            ++j;
            skipClusteredWord(s, j);
            d.constraints += " UNIQUE";
        } else if (t.is("constraint")) {
            if (j + 1 >= end || !s.at(j + 1).isName()) syntaxErrorAt(s, j + 1);
            j += 2;  // the name of the constraint that follows
        } else if (t.is("default")) {
            defaultExpression = readDefault(s, j, end);
        } else if (t.is("check") && j + 1 < end && s.at(j + 1).isSymbol("(")) {
            const size_t e = matchingParen(s, j + 1) + 1;
            d.constraints += " " + translateToSqlite(s.sub(j, e), TranslateContext{});
            j = e;
        } else if (t.is("references")) {
            d.constraints += readReferences(s, j, end);
        } else if (t.is("collate")) {
            col.type.collation = &readCollate(s, j, end, col);
        } else if (t.is("rowguidcol")) {
            ++j;
        } else {
            syntaxErrorAt(s, j);
        }
    }
    if (primaryKey) col.nullable = false;
    if (defaultExpression) {
        // After COLLATE, which may follow DEFAULT and decides a text default's code page.
        col.defaultSql = defaultSql(s, *defaultExpression, col, session);
        d.constraints += " DEFAULT (" + col.defaultSql + ")";
    }
    if (col.type.base == BaseType::Timestamp) {
        if (table.timestampColumn() >= 0) {
            fail(2738, "A table can only have one timestamp column. Because table '" + table.name +
                           "' already has one, the column '" + col.name + "' cannot be added.");
        }
        col.nullable = false;
    }
    return d;
}

std::string columnSql(const ColumnDefinition& d) {
    const CatalogColumn& col = d.column;
    std::string sql = quoteName(col.name) + " " + sqliteColumnType(col.type) + d.constraints;
    if (!col.nullable && !col.identity && col.type.base != BaseType::Timestamp) sql += " NOT NULL";
    return sql;
}

}  // namespace

TableDefinition readTableDefinition(const StatementText& s, size_t open, const std::string& name,
                                    const ConversionContext& session) {
    if (!s.has(open) || !s.at(open).isSymbol("(")) syntaxErrorAt(s, open);
    const size_t close = matchingParen(s, open);
    // Anything after the column list must be a filegroup clause.
    for (size_t j = close + 1; j < s.size(); ++j) {
        if (!(s.at(j).is("on") || s.at(j).is("textimage_on") || s.at(j).isName())) syntaxErrorAt(s, j);
    }
    TableDefinition def;
    def.table.name = name;
    std::vector<ColumnDefinition> columns;
    std::vector<std::string> constraints, keyColumns;
    for (auto [a, b] : splitTopLevel(s, open + 1, close)) {
        if (a >= b) syntaxErrorAt(s, a);
        if (isConstraintStart(s.at(a))) {
            constraints.push_back(readTableConstraint(s, a, b, keyColumns));
            continue;
        }
        columns.push_back(readColumn(s, a, b, static_cast<int>(columns.size()) + 1, def.table, session));
        def.table.columns.push_back(columns.back().column);
    }
    if (columns.empty()) syntaxErrorAt(s, close);
    // Key columns never hold nulls.
    for (const auto& key : keyColumns) {
        const int k = def.table.findColumn(key);
        if (k < 0) continue;
        columns[static_cast<size_t>(k)].column.nullable = false;
        def.table.columns[static_cast<size_t>(k)].nullable = false;
    }
    def.sqliteDdl = "CREATE TABLE " + quoteName(name) + " (";
    for (size_t c = 0; c < columns.size(); ++c) def.sqliteDdl += (c ? ", " : "") + columnSql(columns[c]);
    for (const auto& c : constraints) def.sqliteDdl += ", " + c;
    def.sqliteDdl += ")";
    return def;
}

}  // namespace standin

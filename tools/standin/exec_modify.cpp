// UPDATE, DELETE and TRUNCATE TABLE. Values assigned by UPDATE are
// converted to the column's declared type like inserted ones: literals
// here, other expressions by the conversion function inside SQLite. UPDATE
// and DELETE run the table's triggers.
#include "conversions.h"
#include "executor.h"
#include "sqlite_db.h"
#include "tds_tokens.h"
#include "text_codec.h"

namespace standin {

void Executor::runUpdate(const StatementText& s, StatementOutcome& o, std::vector<StatementOutcome>& out) {
    const size_t mark = changes_->size();
    std::string name;
    size_t k = readObjectName(s, 1, name);
    if (k == 1) syntaxErrorAt(s, 1);
    const TableInfo table = requireTable(name);
    if (!s.has(k) || !s.at(k).is("set")) syntaxErrorAt(s, k);
    ++k;
    size_t end = s.size();
    for (const char* word : {"from", "where", "option"}) end = std::min(end, findTopLevel(s, k, s.size(), word));
    std::string sql = "UPDATE " + quoteName(table.name) + " SET ";
    std::vector<Value> params;
    bool first = true;
    for (auto [a, b] : splitTopLevel(s, k, end)) {
        // [alias.]column = expression
        size_t j = a;
        if (j + 2 < b && s.at(j + 1).isSymbol(".")) j += 2;
        if (j + 1 >= b || !s.at(j).isName() || !s.at(j + 1).isSymbol("=")) syntaxErrorAt(s, j + 1 < b ? j + 1 : j);
        const int idx = table.findColumn(s.at(j).text);
        if (idx < 0) fail(207, "Invalid column name '" + s.at(j).text + "'.");
        const CatalogColumn& col = table.columns[static_cast<size_t>(idx)];
        if (col.identity) fail(8102, "Cannot update identity column '" + col.name + "'.");
        if (col.type.base == BaseType::Timestamp) fail(272, "Cannot update a timestamp column.");
        const size_t e = j + 2;
        if (e >= b) syntaxErrorAt(s, e);
        sql += std::string(first ? "" : ", ") + quoteName(col.name) + " = ";
        first = false;
        const bool null = b == e + 1 && s.at(e).is("null");
        const auto literal = literalIn(s, e, b);
        if (null || literal) {
            Value converted = null ? Value::null() : convertForColumn(*literal, col, conversionContext());
            if (converted.isNull() && !col.nullable) {
                fail(515,
                     "Cannot insert the value NULL into column '" + col.name + "', table '" + database_ + ".dbo." +
                         table.name + "'; column does not allow nulls. UPDATE fails.",
                     16, 2);
            }
            params.push_back(std::move(converted));
            sql += "?" + std::to_string(params.size());
        } else {
            const StatementText expr = s.sub(e, b);
            const auto source = expressionType(expr);
            sql += std::string(AssignFunction) + "((" + translate(expr) + "), " + quoteText(typeDisplayName(col.type)) +
                   ", " + quoteText(source ? typeDisplayName(*source) : std::string()) + ", " +
                   std::to_string(static_cast<int>(ValueOrigin::Expression)) + ")";
        }
    }
    if (const int ts = table.timestampColumn(); ts >= 0) {
        sql += ", " + quoteName(table.columns[static_cast<size_t>(ts)].name) + " = " +
               std::to_string(catalog_->nextRowVersion());
    }
    if (end < s.size()) sql += " " + translate(s.sub(end, s.size()));
    Statement q(db_, sql);
    for (size_t i = 0; i < params.size(); ++i) q.bind(static_cast<int>(i + 1), params[i]);
    q.step();
    const int changed = sqlite3_changes(db_);
    fireTriggers(table, 'U', mark, out);
    o.command = command::Update;
    lastRowCount_ = changed;
    if (!noCount_) o.rowCount = static_cast<uint64_t>(changed);
}

void Executor::runDelete(const StatementText& s, StatementOutcome& o, std::vector<StatementOutcome>& out) {
    const size_t mark = changes_->size();
    size_t k = 1;
    if (s.has(k) && s.at(k).is("from")) ++k;
    std::string name;
    const size_t after = readObjectName(s, k, name);
    if (after == k) syntaxErrorAt(s, k);
    const TableInfo table = requireTable(name);
    if (s.has(after) && !s.at(after).is("where")) {
        fail(50000, "The stand-in supports DELETE [FROM] table [WHERE ...] only.");
    }
    std::string sql = "DELETE FROM " + quoteName(table.name);
    if (s.has(after)) sql += " " + translate(s.sub(after, s.size()));
    Statement q(db_, sql);
    q.step();
    const int changed = sqlite3_changes(db_);
    fireTriggers(table, 'D', mark, out);
    o.command = command::Delete;
    lastRowCount_ = changed;
    if (!noCount_) o.rowCount = static_cast<uint64_t>(changed);
}

}  // namespace standin

namespace standin {

void Executor::runTruncate(const StatementText& s, StatementOutcome&) {
    if (!s.has(1) || !s.at(1).is("table")) syntaxErrorAt(s, 1);
    std::string name;
    const size_t after = readObjectName(s, 2, name);
    if (after == 2 || s.has(after)) syntaxErrorAt(s, after);
    const TableInfo table = requireTable(name);
    execSql(db_, "DELETE FROM " + quoteName(table.name));
    // TRUNCATE starts the identity again from its seed (and fires no trigger).
    catalog_->resetIdentity(table.name);
}

}  // namespace standin

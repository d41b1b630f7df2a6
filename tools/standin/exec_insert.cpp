// INSERT ... VALUES and INSERT ... SELECT. Every value is converted to its
// column's declared type here, identity values are handed out from the
// table's counter and timestamps filled, so that SQLite stores only what
// SQL Server would have stored; then the table's triggers run.
#include "conversions.h"
#include "executor.h"
#include "insert_shape.h"
#include "sqlite_db.h"
#include "tds_tokens.h"
#include "text_codec.h"

#include <map>
#include <memory>

namespace standin {
namespace {

struct InsertValue {
    SourceValue source;
    bool isDefault = false;
};

}  // namespace

void Executor::runInsert(const StatementText& s, StatementOutcome& o, std::vector<StatementOutcome>& out) {
    const size_t mark = changes_->size();
    const InsertShape shape = readInsertShape(s);
    const TableInfo table = requireTable(shape.table);
    checkInsertCounts(shape, &table);
    const bool explicitList = shape.explicitList;

    std::vector<int> targets;
    if (explicitList) {
        for (const auto& [column, at] : shape.columns) {
            const int idx = table.findColumn(column);
            if (idx < 0) fail(207, "Invalid column name '" + column + "'.");
            for (int t : targets) {
                if (t == idx) {
                    fail(264, "The column name '" + column +
                                  "' is specified more than once in the SET clause or column list of an INSERT. "
                                  "A column cannot be assigned more than one value in the same clause. Modify the "
                                  "clause to make sure that a column is updated only once. If this statement updates "
                                  "or inserts columns into a view, column aliasing can conceal the duplication in your "
                                  "code.");
                }
            }
            targets.push_back(idx);
        }
    } else {
        for (size_t c = 0; c < table.columns.size(); ++c) {
            if (!table.columns[c].identity && table.columns[c].type.base != BaseType::Timestamp) {
                targets.push_back(static_cast<int>(c));
            }
        }
    }

    std::vector<std::vector<InsertValue>> rows;
    if (shape.source == InsertShape::Source::Values) {
        for (const auto& ranges : shape.rows) {
            std::vector<InsertValue> row;
            for (auto [a, b] : ranges) {
                InsertValue v;
                const Token& t = s.at(a);
                if (b == a + 1 && t.is("null")) {
                    v.source.value = Value::null();
                } else if (b == a + 1 && t.is("default")) {
                    v.isDefault = true;
                } else if (auto literal = literalIn(s, a, b)) {
                    v.source = *literal;
                } else {
                    v.source = evaluateTyped(s.sub(a, b));
                }
                row.push_back(std::move(v));
            }
            rows.push_back(std::move(row));
        }
    } else if (shape.source == InsertShape::Source::Select) {
        const StatementText select = s.sub(shape.selectStart, s.size());
        const ResultSet rs = query(translate(select), select);
        if (rs.columns.size() < targets.size()) {
            fail(120,
                 "The select list for the INSERT statement contains fewer items than the insert list. The "
                 "number of SELECT values must match the number of INSERT columns.",
                 15);
        }
        if (rs.columns.size() > targets.size()) {
            fail(121,
                 "The select list for the INSERT statement contains more items than the insert list. The "
                 "number of SELECT values must match the number of INSERT columns.",
                 15);
        }
        for (const auto& r : rs.rows) {
            std::vector<InsertValue> row;
            for (size_t c = 0; c < r.size(); ++c) {
                row.push_back({SourceValue{r[c], ValueOrigin::Expression, rs.columns[c].type}, false});
            }
            rows.push_back(std::move(row));
        }
    } else {
        targets.clear();
        rows.emplace_back();
    }

    // Identity and timestamp rules.
    const int identity = table.identityColumn();
    const int timestamp = table.timestampColumn();
    bool explicitIdentity = false;
    for (int t : targets) {
        if (t == identity) explicitIdentity = true;
        if (t == timestamp) {
            fail(273,
                 "Cannot insert an explicit value into a timestamp column. Use INSERT with a column list to "
                 "exclude the timestamp column, or insert a DEFAULT into the timestamp column.");
        }
    }
    const bool identityInsertOn = identity >= 0 && equalsIgnoreCase(identityInsertTable_, table.name);
    if (explicitIdentity && !identityInsertOn) {
        fail(544, "Cannot insert explicit value for identity column in table '" + table.name +
                      "' when IDENTITY_INSERT is set to OFF.");
    }
    if (identityInsertOn && !explicitList) {
        fail(8101, "An explicit value for the identity column in table '" + table.name +
                       "' can only be specified when a column list is used and IDENTITY_INSERT is ON.");
    }
    if (identityInsertOn && !explicitIdentity) {
        fail(545, "Explicit value must be specified for identity column in table '" + table.name +
                      "' either when IDENTITY_INSERT is set to ON or when a replication user is inserting into a "
                      "NOT FOR REPLICATION identity column.");
    }
    // Columns left out must have a default or accept nulls.
    for (size_t c = 0; c < table.columns.size(); ++c) {
        const auto& col = table.columns[c];
        bool listed = false;
        for (int t : targets) listed = listed || t == static_cast<int>(c);
        if (!listed && !col.nullable && !col.identity && col.type.base != BaseType::Timestamp &&
            col.defaultSql.empty()) {
            fail(515,
                 "Cannot insert the value NULL into column '" + col.name + "', table '" + database_ + ".dbo." +
                     table.name + "'; column does not allow nulls. INSERT fails.",
                 16, 2);
        }
    }

    for (const auto& row : rows) {
        std::vector<std::string> names;
        std::vector<Value> values;
        std::optional<int64_t> explicitIdentityValue;
        for (size_t i = 0; i < targets.size(); ++i) {
            const auto& col = table.columns[static_cast<size_t>(targets[i])];
            if (row[i].isDefault) {
                if (col.defaultSql.empty() && !col.nullable) {
                    fail(515,
                         "Cannot insert the value NULL into column '" + col.name + "', table '" + database_ + ".dbo." +
                             table.name + "'; column does not allow nulls. INSERT fails.",
                         16, 2);
                }
                continue;
            }
            Value v = convertForColumn(row[i].source, col, conversionContext());
            if (v.isNull() && !col.nullable) {
                fail(515,
                     "Cannot insert the value NULL into column '" + col.name + "', table '" + database_ + ".dbo." +
                         table.name + "'; column does not allow nulls. INSERT fails.",
                     16, 2);
            }
            if (targets[i] == identity) explicitIdentityValue = v.i;
            names.push_back(col.name);
            values.push_back(std::move(v));
        }
        if (identity >= 0) {
            if (explicitIdentityValue) {
                // An explicit value beyond the current one moves the identity on.
                const int64_t v = *explicitIdentityValue;
                const auto last = catalog_->lastIdentity(table.name);
                const auto& col = table.columns[static_cast<size_t>(identity)];
                if (!last || (col.increment > 0 ? v > *last : v < *last)) catalog_->setLastIdentity(table.name, v);
                lastIdentity_ = v;
            } else if (!explicitIdentity) {
                const int64_t v = catalog_->takeIdentity(table);
                names.push_back(table.columns[static_cast<size_t>(identity)].name);
                values.push_back(Value::integer(v));
                lastIdentity_ = v;
            }
            scopeIdentity_ = lastIdentity_;
        }
        if (timestamp >= 0) {
            names.push_back(table.columns[static_cast<size_t>(timestamp)].name);
            values.push_back(Value::integer(catalog_->nextRowVersion()));
        }
        std::string sql = "INSERT INTO " + quoteName(table.name);
        if (names.empty()) {
            sql += " DEFAULT VALUES";
        } else {
            std::string cols, marks;
            for (size_t i = 0; i < names.size(); ++i) {
                cols += (i ? "," : "") + quoteName(names[i]);
                marks += i ? ",?" : "?";
            }
            sql += " (" + cols + ") VALUES (" + marks + ")";
        }
        // Prepared once for all the statements of this form (SQLite prepares again after schema changes).
        if (insertStatements_.size() > 64) insertStatements_.clear();
        auto& stmt = insertStatements_[sql];
        if (!stmt) stmt = std::make_unique<Statement>(db_, sql);
        for (size_t i = 0; i < values.size(); ++i) stmt->bind(static_cast<int>(i + 1), values[i]);
        stmt->step();
        stmt->reset();
    }
    fireTriggers(table, 'I', mark, out);
    o.command = command::Insert;
    lastRowCount_ = static_cast<int64_t>(rows.size());
    if (!noCount_) o.rowCount = rows.size();
}

}  // namespace standin

#include "insert_shape.h"

#include "sql_error.h"

namespace standin {

InsertShape readInsertShape(const StatementText& s) {
    InsertShape shape;
    size_t k = 1;
    if (s.has(k) && s.at(k).is("into")) ++k;
    const size_t afterName = readObjectName(s, k, shape.table);
    if (afterName == k) syntaxErrorAt(s, k);
    k = afterName;
    shape.explicitList = s.has(k) && s.at(k).isSymbol("(");
    if (shape.explicitList) {
        const size_t close = matchingParen(s, k);
        for (auto [a, b] : splitTopLevel(s, k + 1, close)) {
            if (b != a + 1 || !s.at(a).isName()) syntaxErrorAt(s, a);
            shape.columns.emplace_back(s.at(a).text, a);
        }
        k = close + 1;
    }
    if (s.has(k) && s.at(k).is("values")) {
        ++k;
        for (;;) {
            if (!s.has(k) || !s.at(k).isSymbol("(")) syntaxErrorAt(s, k);
            const size_t close = matchingParen(s, k);
            auto values = splitTopLevel(s, k + 1, close);
            for (auto [a, b] : values) {
                if (a >= b) syntaxErrorAt(s, a);
            }
            if (values.empty()) syntaxErrorAt(s, close);
            shape.rows.push_back(std::move(values));
            k = close + 1;
            if (s.has(k) && s.at(k).isSymbol(",")) {
                ++k;
                continue;
            }
            break;
        }
        if (s.has(k)) syntaxErrorAt(s, k);
    } else if (s.has(k) && s.at(k).is("select")) {
        shape.source = InsertShape::Source::Select;
        shape.selectStart = k;
    } else if (s.has(k + 1) && s.at(k).is("default") && s.at(k + 1).is("values") && !s.has(k + 2)) {
        shape.source = InsertShape::Source::DefaultValues;
    } else {
        syntaxErrorAt(s, k);
    }
    return shape;
}

void checkInsertCounts(const InsertShape& shape, const TableInfo* table) {
    if (shape.source != InsertShape::Source::Values) return;
    const size_t width = shape.rows.front().size();
    for (const auto& row : shape.rows) {
        if (row.size() != width) {
            fail(10709, "The number of columns for each row in a table value constructor must be the same.", 16, 1);
        }
    }
    if (shape.explicitList) {
        if (width < shape.columns.size()) {
            fail(109,
                 "There are more columns in the INSERT statement than values specified in the VALUES clause. "
                 "The number of values in the VALUES clause must match the number of columns specified in the "
                 "INSERT statement.",
                 15);
        }
        if (width > shape.columns.size()) {
            fail(110,
                 "There are fewer columns in the INSERT statement than values specified in the VALUES clause. "
                 "The number of values in the VALUES clause must match the number of columns specified in the "
                 "INSERT statement.",
                 15);
        }
        return;
    }
    if (!table) return;
    size_t insertable = 0;
    for (const auto& c : table->columns) {
        if (!c.identity && c.type.base != BaseType::Timestamp) ++insertable;
    }
    if (width == insertable) return;
    // A value for the identity column too: allowed only with a column list.
    if (table->identityColumn() >= 0 && width == insertable + 1) {
        fail(8101, "An explicit value for the identity column in table '" + table->name +
                       "' can only be specified when a column list is used and IDENTITY_INSERT is ON.");
    }
    fail(213, "Column name or number of supplied values does not match table definition.");
}

}  // namespace standin

// SELECT: runs the translated query in SQLite and describes its columns.
// Columns read straight from a table carry the declared type from the
// catalogue; MAX/MIN keep their column's type; other expressions get a
// type that fits the values they produced.
#include "conversions.h"
#include "executor.h"
#include "sqlite_db.h"
#include "tds_tokens.h"
#include "text_codec.h"

#include <cstring>
#include <limits>

namespace standin {
namespace {

enum class Aggregate { None, MaxMin, Count, SumAvg };

// What the T-SQL text says about one item of the select list.
struct SelectItem {
    bool aliased = false;
    Aggregate aggregate = Aggregate::None;
    std::string argumentColumn;  // the column inside MAX(...), MIN(...) ...
    bool literal = false;        // a constant: never null
    bool textLiteral = false;
    bool dateFunction = false;        // GETDATE() and its kin: datetime values
    size_t exprFrom = 0, exprTo = 0;  // the expression without its alias
};

SelectItem describeItem(const StatementText& s, size_t from, size_t to) {
    SelectItem item;
    size_t end = to;
    if (end - from >= 2 && s.at(from).isName() && s.at(from + 1).isSymbol("=")) {
        item.aliased = true;  // alias = expression
        from += 2;
    } else if (end - from >= 2 && s.at(end - 1).isName() &&
               (s.at(end - 2).is("as") ||
                (!s.at(end - 2).isSymbol(".") &&
                 (s.at(end - 2).isSymbol(")") || s.at(end - 2).isName() || s.at(end - 2).kind == TokenKind::Variable ||
                  s.at(end - 2).kind == TokenKind::String || s.at(end - 2).kind == TokenKind::Number)))) {
        item.aliased = true;
        end -= s.at(end - 2).is("as") ? 2u : 1u;
    } else if (end - from >= 2 && s.at(end - 1).kind == TokenKind::String && s.at(end - 2).is("as")) {
        item.aliased = true;
        end -= 2;
    }
    item.exprFrom = from;
    item.exprTo = end;
    if (end - from == 1) {
        const Token& t = s.at(from);
        item.literal = t.kind == TokenKind::String || t.kind == TokenKind::Number || t.kind == TokenKind::Variable;
        item.textLiteral = t.kind == TokenKind::String;
    }
    if (end - from == 1 && s.at(from).is("current_timestamp")) item.dateFunction = true;
    if (end - from >= 3 && s.at(from).kind == TokenKind::Word && s.at(from + 1).isSymbol("(") &&
        s.at(end - 1).isSymbol(")")) {
        const std::string f = toLower(s.at(from).text);
        if (end - from == 3 && (f == "getdate" || f == "sysdatetime")) item.dateFunction = true;
        if (f == "max" || f == "min")
            item.aggregate = Aggregate::MaxMin;
        else if (f == "count" || f == "count_big")
            item.aggregate = Aggregate::Count;
        else if (f == "sum" || f == "avg")
            item.aggregate = Aggregate::SumAvg;
        if (item.aggregate != Aggregate::None && s.at(end - 2).isName()) {
            item.argumentColumn = s.at(end - 2).text;
        }
    }
    return item;
}

// The items of the top-level select list, or none when it has a '*'.
std::vector<SelectItem> describeSelectList(const StatementText& s) {
    std::vector<SelectItem> items;
    size_t k = 1;
    if (s.has(k) && (s.at(k).is("distinct") || s.at(k).is("all"))) ++k;
    if (s.has(k) && s.at(k).is("top")) {
        ++k;
        if (s.has(k) && s.at(k).isSymbol("(")) {
            while (s.has(k) && !s.at(k).isSymbol(")")) ++k;
        }
        ++k;
    }
    const size_t end = findTopLevelWhere(s, k, s.size(), [&s](size_t j) {
        const Token& t = s.at(j);
        return t.is("from") || t.is("where") || t.is("order") || t.is("group") || t.is("union") || t.is("into") ||
               t.is("having") || t.isSymbol(";");
    });
    for (const auto& [from, to] : splitTopLevel(s, k, end)) {
        // A star of its own or after a table's name: the columns are not known here.
        const auto isStar = [&s, from = from](size_t j) {
            return s.at(j).isSymbol("*") && (j == from || s.at(j - 1).isSymbol("."));
        };
        if (findTopLevelWhere(s, from, to, isStar) != to) return {};
        if (to > from) items.push_back(describeItem(s, from, to));
    }
    return items;
}

// The declared type of the column named `name` in any table the statement names.
std::optional<CatalogColumn> findColumnInStatement(const Catalog& catalog, const StatementText& s,
                                                   const std::string& name) {
    for (size_t k = 0; k < s.size(); ++k) {
        if (!s.at(k).isName()) continue;
        if (toLower(s.at(k).text).rfind(HiddenPrefix, 0) == 0) continue;
        if (auto t = catalog.table(s.at(k).text)) {
            const int c = t->findColumn(name);
            if (c >= 0) return t->columns[static_cast<size_t>(c)];
        }
    }
    return std::nullopt;
}

// A type that holds every value of column `c`.
SqlType typeFromValues(const std::vector<std::vector<Value>>& rows, size_t c, bool textLiteral) {
    bool anyInt = false, anyReal = false, anyText = false, anyBlob = false, big = false;
    size_t maxChars = 1;
    for (const auto& row : rows) {
        const Value& v = row[c];
        switch (v.kind) {
        case Value::Kind::Integer:
            anyInt = true;
            if (v.i > std::numeric_limits<int32_t>::max() || v.i < std::numeric_limits<int32_t>::min()) big = true;
            break;
        case Value::Kind::Real: anyReal = true; break;
        case Value::Kind::Text:
            anyText = true;
            maxChars = std::max(maxChars, utf16Length(v.s));
            break;
        case Value::Kind::Blob: anyBlob = true; break;
        case Value::Kind::Null: break;
        }
    }
    SqlType t;
    if (anyText || textLiteral || (anyBlob && (anyInt || anyReal))) return inferredTextType(maxChars);
    if (anyBlob) {
        t.base = BaseType::VarBinary;
        t.length = SqlType::MaxLength;
    } else if (anyReal) {
        t.base = BaseType::Float;
    } else if (anyInt) {
        t.base = big ? BaseType::BigInt : BaseType::Int;
    } else {
        t.base = BaseType::Int;
    }
    return t;
}

}  // namespace

void Executor::runSelect(const StatementText& s, StatementOutcome& o) {
    for (size_t k = 0; k < s.size(); ++k) {
        if (s.at(k).is("into") && !(k > 0 && s.at(k - 1).is("insert"))) {
            fail(50000, "SELECT ... INTO is not supported by the stand-in.");
        }
    }
    o.result = query(translate(s), s);
    o.command = command::Select;
    o.rowCount = o.result->rows.size();
    lastRowCount_ = static_cast<int64_t>(o.result->rows.size());
}

ResultSet Executor::query(const std::string& sqliteSql, const StatementText& select) {
    for (size_t k = 0; k < select.size(); ++k) {
        if (select.at(k).isName() && equalsIgnoreCase(select.at(k).text, "sysdatabases")) {
            refreshSysDatabases();
            break;
        }
    }
    Statement q(db_, sqliteSql);
    const int count = q.columnCount();
    ResultSet rs;
    // A read-only query may be cut short by the client's attention.
    struct Interruptible {
        bool& flag;
        explicit Interruptible(bool& f, bool on) : flag(f) { flag = on; }
        ~Interruptible() { flag = false; }
    } interruptible(interruptibleQuery_, sqlite3_stmt_readonly(q.handle()) != 0);
    while (q.step()) {
        std::vector<Value> row;
        row.reserve(static_cast<size_t>(count));
        for (int c = 0; c < count; ++c) row.push_back(q.column(c));
        rs.rows.push_back(std::move(row));
    }
    const auto items = describeSelectList(select);
    const bool itemsMatch = items.size() == static_cast<size_t>(count);
    for (int c = 0; c < count; ++c) {
        ColumnInfo col;
        const char* name = sqlite3_column_name(q.handle(), c);
        col.name = name ? name : "";
        const char* table = sqlite3_column_table_name(q.handle(), c);
        const char* origin = sqlite3_column_origin_name(q.handle(), c);
        const char* schema = sqlite3_column_database_name(q.handle(), c);
        const SelectItem item = itemsMatch ? items[static_cast<size_t>(c)] : SelectItem{};
        bool typed = false;
        if (table && origin) {
            const bool temp = schema && std::strcmp(schema, "temp") == 0;
            if (temp && equalsIgnoreCase(table, "sysdatabases")) {
                // sys.sysdatabases: name sysname, dbid smallint, crdate datetime, cmptlevel tinyint, filename
                // nvarchar(260).
                const std::string column = toLower(origin);
                if (column == "dbid")
                    col.type = *makeSqlType("smallint", 0, 0, false);
                else if (column == "crdate")
                    col.type = *makeSqlType("datetime", 0, 0, false);
                else if (column == "cmptlevel")
                    col.type = *makeSqlType("tinyint", 0, 0, false);
                else
                    col.type = *makeSqlType("nvarchar", column == "filename" ? 260 : 128, 0, true);
                col.nullable = column == "filename";
                typed = true;
            } else if (auto t = temp && !firing_.empty() && toLower(table).rfind(HiddenPrefix, 0) == 0
                                    ? std::optional<TableInfo>(firing_.back())
                                    : catalog_->table(table)) {
                const int k = t->findColumn(origin);
                if (k >= 0) {
                    const auto& cc = t->columns[static_cast<size_t>(k)];
                    col.type = cc.type;
                    col.nullable = cc.nullable;
                    col.identity = cc.identity;
                    typed = true;
                }
            }
        } else if (itemsMatch && !item.aliased) {
            col.name.clear();  // SQL Server leaves expression columns unnamed
        }
        if (!typed && item.aggregate == Aggregate::MaxMin && !item.argumentColumn.empty()) {
            if (auto cc = findColumnInStatement(*catalog_, select, item.argumentColumn)) {
                col.type = cc->type;
                col.nullable = true;
                typed = true;
            }
        }
        if (!typed && item.dateFunction) {
            col.type.base = BaseType::DateTime;
            col.nullable = false;
            typed = true;
        }
        if (!typed && item.aggregate == Aggregate::Count) {
            col.type.base = BaseType::Int;
            col.nullable = false;
            typed = true;
        }
        if (!typed && itemsMatch && item.exprTo > item.exprFrom) {
            // CAST, CONVERT, ISNULL(column, ...) and their kin.
            if (auto t = expressionType(select.sub(item.exprFrom, item.exprTo))) {
                col.type = *t;
                col.nullable = true;
                typed = true;
            }
        }
        if (typed && !table && col.type.isExactNumeric()) {
            // A computed exact value (a SUM, a CAST) must fit its type, as
            // on SQL Server, instead of wrapping on the wire.
            CatalogColumn target;
            target.type = col.type;
            for (auto& row : rs.rows) {
                row[static_cast<size_t>(c)] = convertForColumn(
                    SourceValue{row[static_cast<size_t>(c)], ValueOrigin::Expression, std::nullopt}, target);
            }
        }
        if (!typed) {
            col.type = typeFromValues(rs.rows, static_cast<size_t>(c), item.textLiteral);
            col.nullable = !item.literal;
        }
        // Text computed here is in the current database's collation.
        if (col.type.isText() && !col.type.collation) col.type.collation = &collation();
        rs.columns.push_back(std::move(col));
    }
    return rs;
}

}  // namespace standin

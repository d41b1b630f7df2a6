// The batch is compiled whole before any of it runs, as SQL Server does:
// a syntax error, a wrong number of values, an undeclared variable or an
// unknown column of an existing table fails the batch, and nothing in it
// runs. Names SQLite cannot resolve yet (a table the batch itself creates)
// are left for the statement to meet when it runs (deferred name
// resolution), where they end the batch instead.
#include "create_table.h"
#include "executor.h"
#include "insert_shape.h"
#include "sql_translate.h"
#include "text_codec.h"
#include "trigger_text.h"

#include <algorithm>

namespace standin {
namespace {

bool isMissingTable(sqlite3* db) {
    const std::string msg = sqlite3_errmsg(db);
    return msg.rfind("no such table", 0) == 0;
}

}  // namespace

std::optional<SqlMessage> Executor::compile(const std::vector<TokenRange>& statements, const std::vector<Token>& tokens,
                                            std::string_view sql) {
    std::vector<std::string> declared;
    bool first = true;
    for (const auto& range : statements) {
        const StatementText s{tokens, range, sql};
        try {
            compileStatement(s, first, declared);
        } catch (const StatementError& e) {
            SqlMessage m = e.message;
            m.line = lineOf(s);
            return m;
        }
        first = false;
    }
    return std::nullopt;
}

void Executor::compileStatement(const StatementText& s, bool firstInBatch, std::vector<std::string>& declared) {
    const Token& head = s.at(0);
    if (head.is("if") || head.is("while")) {
        const size_t k = conditionEnd(s);
        if (k <= 1 || !s.has(k)) fail(102, "Incorrect syntax near '" + s.at(s.size() - 1).text + "'.", 15);
        compileQuery(s.sub(0, k), declared);
        const size_t bodyEnd = statementEnd(s.tokens, s.range.first + k, s.range.last) - s.range.first;
        compileStatement(s.sub(k, bodyEnd), false, declared);
        if (bodyEnd < s.size()) {
            if (!s.at(bodyEnd).is("else") || !s.has(bodyEnd + 1)) syntaxErrorAt(s, bodyEnd);
            compileStatement(s.sub(bodyEnd + 1, s.size()), false, declared);
        }
        return;
    }
    if (head.is("else")) fail(156, "Incorrect syntax near the keyword 'else'.", 15);
    if (head.is("end")) fail(156, "Incorrect syntax near the keyword 'end'.", 15);
    if (head.is("begin") &&
        !(s.has(1) && (s.at(1).is("tran") || s.at(1).is("transaction") || s.at(1).is("distributed")))) {
        size_t end = s.size();
        if (end < 2 || !s.at(end - 1).is("end")) fail(102, "Incorrect syntax near '" + s.at(end - 1).text + "'.", 15);
        --end;
        for (const auto& r : splitStatements(s.tokens, {s.range.first + 1, s.range.first + end})) {
            compileStatement(StatementText{s.tokens, r, s.source}, false, declared);
        }
        return;
    }
    if (head.is("create") && s.has(1) && s.at(1).is("trigger")) {
        if (!firstInBatch) fail(111, "'CREATE TRIGGER' must be the first statement in a query batch.", 15);
        const TriggerHeader h = parseTriggerHeader(s);
        std::vector<std::string> own;
        for (const auto& r : splitStatements(s.tokens, {s.range.first + h.bodyStart, s.range.last})) {
            compileStatement(StatementText{s.tokens, r, s.source}, false, own);
        }
        return;
    }
    if (head.is("create") && s.has(1) && s.at(1).is("table")) {
        // The column list's syntax; what it names is checked when it runs.
        std::string name;
        const size_t k = readObjectName(s, 2, name);
        if (k == 2) syntaxErrorAt(s, 2);
        try {
            readTableDefinition(s, k, name, conversionContext());
        } catch (const StatementError& e) {
            if (e.message.number == 102 || e.message.number == 156) throw;
        }
        return;
    }
    if (head.is("declare")) {
        for (auto [a, b] : splitTopLevel(s, 1, s.size())) {
            if (a >= b || s.at(a).kind != TokenKind::Variable || s.at(a).text.rfind("@@", 0) == 0) syntaxErrorAt(s, a);
            const std::string name = toLower(s.at(a).text);
            if (std::find(declared.begin(), declared.end(), name) != declared.end()) {
                fail(134,
                     "The variable name '" + s.at(a).text +
                         "' has already been declared. Variable names must "
                         "be unique within a query batch or stored procedure.",
                     15);
            }
            const size_t eq = findTopLevel(s, a, b, "=");
            if (eq < b) compileQuery(s.sub(eq + 1, b), declared);
            declared.push_back(name);
        }
        return;
    }
    if (head.is("insert")) {
        const InsertShape shape = readInsertShape(s);
        std::optional<TableInfo> table;
        if (!shape.explicitList && knownTable(shape.table)) table = catalog_->table(shape.table);
        checkInsertCounts(shape, table ? &*table : nullptr);
        for (const auto& row : shape.rows) {
            for (auto [a, b] : row) {
                if (b > a + 1 || s.at(a).kind == TokenKind::Variable) compileQuery(s.sub(a, b), declared);
            }
        }
        if (shape.source == InsertShape::Source::Select) compileQuery(s.sub(shape.selectStart, s.size()), declared);
        return;
    }
    if (head.is("select")) {
        for (size_t k = 1; s.has(k); ++k) {
            if (s.at(k).is("into")) return;  // SELECT ... INTO: refused when it runs
        }
        compileQuery(s, declared);
        return;
    }
    if ((head.is("set") && s.has(1) && s.at(1).kind == TokenKind::Variable && s.at(1).text.rfind("@@", 0) != 0) ||
        head.is("print")) {
        const size_t from = head.is("print") ? 1 : 3;
        if (head.is("set")) {
            const std::string name = toLower(s.at(1).text);
            if (std::find(declared.begin(), declared.end(), name) == declared.end()) {
                fail(137, "Must declare the scalar variable \"" + s.at(1).text + "\".", 15, 2);
            }
        }
        if (!s.has(from)) syntaxErrorAt(s, from);
        compileQuery(s.sub(from, s.size()), declared);
        return;
    }
    if (head.is("set") && s.has(1) && s.at(1).kind == TokenKind::Word && !isKnownSetOption(toLower(s.at(1).text))) {
        fail(195, "'" + s.at(1).text + "' is not a recognized SET option.", 15);
    }
    if (head.is("update") || head.is("delete")) {
        // Their SQL is put together when they run; the variables they name must exist now.
        for (size_t k = 0; s.has(k); ++k) {
            const Token& t = s.at(k);
            if (t.kind != TokenKind::Variable || t.text.rfind("@@", 0) == 0) continue;
            if (std::find(declared.begin(), declared.end(), toLower(t.text)) == declared.end()) {
                fail(137, "Must declare the scalar variable \"" + t.text + "\".", 15, 2);
            }
        }
        return;
    }
    if (head.kind == TokenKind::Word && (isStatementKeyword(head) || head.is("dbcc"))) return;
    // A procedure name alone runs the procedure, but only as the first statement.
    if (firstInBatch && head.kind == TokenKind::Word && !isReservedWord(head.text)) return;
    if (head.kind == TokenKind::Word && isReservedWord(head.text)) {
        fail(156, "Incorrect syntax near the keyword '" + head.text + "'.", 15);
    }
    fail(102, "Incorrect syntax near '" + head.text + "'.", 15);
}

void Executor::compileQuery(const StatementText& s, const std::vector<std::string>& declared) {
    // Variables stand in as NULL: only whether they are declared matters here.
    std::map<std::string, Variable> placeholders;
    for (const auto& name : declared) placeholders[name] = Variable{};
    auto* saved = variables_;
    variables_ = &placeholders;
    std::string sql;
    try {
        const Token& head = s.at(0);
        if (head.is("if") || head.is("while")) {
            sql = "SELECT CASE WHEN " + translate(s.sub(1, s.size())) + " THEN 1 ELSE 0 END";
        } else if (head.is("select")) {
            if (s.has(2) && s.at(1).kind == TokenKind::Variable && s.at(2).isSymbol("=") &&
                s.at(1).text.rfind("@@", 0) != 0) {
                // SELECT @v = expr ...: the assignment's target must be declared.
                for (auto [a, b] : splitTopLevel(s, 1, s.size())) {
                    if (s.at(a).kind == TokenKind::Variable &&
                        std::find(declared.begin(), declared.end(), toLower(s.at(a).text)) == declared.end()) {
                        fail(137, "Must declare the scalar variable \"" + s.at(a).text + "\".", 15, 2);
                    }
                }
            }
            sql = translate(s);
        } else {
            sql = "SELECT " + translate(s);
        }
    } catch (const StatementError&) {
        variables_ = saved;
        throw;
    }
    variables_ = saved;
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr);
    const StatementHandle owned(stmt);
    if (rc == SQLITE_OK || isMissingTable(db_)) return;
    const SqlMessage m = mapSqliteError(db_, rc);
    if (m.number == 102 || m.number == 207 || m.number == 4104 || m.number == 195) throw StatementError{m};
}

}  // namespace standin

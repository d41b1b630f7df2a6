// EXEC of the system procedures the stand-in knows: sp_helptrigger and
// sp_helptext, with SQL Server's result columns.
#include "executor.h"
#include "help_text.h"
#include "tds_tokens.h"
#include "text_codec.h"

namespace standin {
namespace {

ColumnInfo column(const std::string& name, const char* type, int length, bool nullable) {
    ColumnInfo c;
    c.name = name;
    c.type = *makeSqlType(type, length, 0, length != 0);
    c.nullable = nullable;
    return c;
}

}  // namespace

void Executor::runExec(const StatementText& s, StatementOutcome& o) {
    size_t k = (s.at(0).is("exec") || s.at(0).is("execute")) ? 1 : 0;
    if (s.has(k) && s.at(k).isSymbol("(")) fail(50000, "EXEC of dynamic SQL is not supported by the stand-in.");
    if (s.has(k) && s.at(k).kind == TokenKind::Variable) {
        fail(50000, "EXEC with a return variable is not supported by the stand-in.");
    }
    std::string proc;
    const size_t after = readObjectName(s, k, proc);
    if (after == k) syntaxErrorAt(s, k);
    std::vector<std::string> args;
    for (auto [a, b] : splitTopLevel(s, after, s.size())) {
        if (b > a + 2 && s.at(a).kind == TokenKind::Variable && s.at(a + 1).isSymbol("=")) a += 2;
        if (b != a + 1) syntaxErrorAt(s, a);
        const Token& t = s.at(a);
        if (t.kind == TokenKind::Variable) fail(137, "Must declare the scalar variable \"" + t.text + "\".", 15, 2);
        args.push_back(t.is("null") ? std::string() : t.text);
    }
    const std::string lower = toLower(proc);
    o.procedure = true;
    if (lower == "sp_helptrigger") {
        if (args.empty()) {
            fail(201, "Procedure or function 'sp_helptrigger' expects parameter '@tabname', which was not supplied.", 16, 4);
        }
        return helpTrigger(args[0], o);
    }
    if (lower == "sp_helptext") {
        if (args.empty()) {
            fail(201, "Procedure or function 'sp_helptext' expects parameter '@objname', which was not supplied.", 16, 4);
        }
        return helpText(args[0], o);
    }
    fail(2812, "Could not find stored procedure '" + proc + "'.", 16, 62);
}

void Executor::helpTrigger(const std::string& tableName, StatementOutcome& o) {
    std::string name = tableName;
    if (toLower(name).rfind("dbo.", 0) == 0) name = name.substr(4);
    const auto table = catalog_->table(name);
    if (!table) {
        fail(15009, "The object '" + tableName + "' does not exist in database '" + database_ +
                        "' or is invalid for this operation.", 16, 1);
    }
    ResultSet rs;
    rs.columns = {column("trigger_name", "nvarchar", 128, false), column("trigger_owner", "nvarchar", 128, true),
                  column("isupdate", "int", 0, true),               column("isdelete", "int", 0, true),
                  column("isinsert", "int", 0, true),               column("isafter", "int", 0, true),
                  column("isinsteadof", "int", 0, true),            column("trigger_schema", "nvarchar", 128, true)};
    for (const auto& t : catalog_->triggersOf(table->name)) {
        rs.rows.push_back({Value::text(t.name), Value::text("dbo"), Value::integer(t.onUpdate),
                           Value::integer(t.onDelete), Value::integer(t.onInsert), Value::integer(!t.insteadOf),
                           Value::integer(t.insteadOf), Value::text("dbo")});
    }
    o.rowCount = rs.rows.size();
    o.command = command::Select;
    lastRowCount_ = static_cast<int64_t>(rs.rows.size());
    o.result = std::move(rs);
}

void Executor::helpText(const std::string& objectName, StatementOutcome& o) {
    std::string name = objectName;
    if (toLower(name).rfind("dbo.", 0) == 0) name = name.substr(4);
    const auto trigger = catalog_->trigger(name);
    if (!trigger) {
        if (catalog_->table(name)) fail(15197, "There is no text for object '" + objectName + "'.", 16, 1);
        fail(15009, "The object '" + objectName + "' does not exist in database '" + database_ +
                        "' or is invalid for this operation.", 16, 1);
    }
    ResultSet rs;
    rs.columns = {column("Text", "nvarchar", 255, true)};
    for (auto& line : helpTextRows(trigger->definition)) rs.rows.push_back({Value::text(std::move(line))});
    o.rowCount = rs.rows.size();
    o.command = command::Select;
    lastRowCount_ = static_cast<int64_t>(rs.rows.size());
    o.result = std::move(rs);
}

}  // namespace standin

// EXEC of the system procedures the stand-in knows: sp_helptrigger and
// sp_helptext, and the catalog procedures ODBC drivers call (sp_columns,
// sp_tables, sp_pkeys, exec_catalog.cpp), with SQL Server's result columns.
// Procedure and object names may come bracketed and schema-qualified.
#include "executor.h"
#include "help_text.h"
#include "procedure_arguments.h"
#include "tds_tokens.h"
#include "text_codec.h"

namespace standin {
namespace {

// Procedures SQL Server has that the stand-in does not run: saying so
// beats claiming they do not exist.
bool isUnsupportedSystemProcedure(const std::string& lower) {
    static const char* const names[] = {
        "sp_executesql",  "sp_prepare",           "sp_execute",         "sp_prepexec",
        "sp_unprepare",   "sp_cursoropen",        "sp_cursorfetch",     "sp_cursorclose",
        "sp_cursor",      "sp_cursorprepare",     "sp_statistics",      "sp_special_columns",
        "sp_fkeys",       "sp_stored_procedures", "sp_sproc_columns",   "sp_datatype_info",
        "sp_server_info", "sp_column_privileges", "sp_table_privileges"};
    for (const char* n : names) {
        if (lower == n) return true;
    }
    return false;
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
    std::vector<ProcedureArgument> args;
    for (auto [a, b] : splitTopLevel(s, after, s.size())) {
        ProcedureArgument arg;
        if (b > a + 2 && s.at(a).kind == TokenKind::Variable && s.at(a + 1).isSymbol("=")) {
            arg.name = s.at(a).text;
            a += 2;
        }
        bool negative = false;
        if (b == a + 2 && s.at(a).isSymbol("-") && s.at(a + 1).kind == TokenKind::Number) {
            negative = true;
            ++a;
        }
        if (b != a + 1) syntaxErrorAt(s, a);
        const Token& t = s.at(a);
        if (t.kind == TokenKind::Variable) {
            const Variable* v = findVariable(t.text);
            if (!v) fail(137, "Must declare the scalar variable \"" + t.text + "\".", 15, 2);
            arg.value = v->value;
        } else if (t.kind == TokenKind::Number) {
            const bool whole = t.text.find_first_of(".eE") == std::string::npos;
            arg.value = whole ? Value::integer(std::stoll(t.text) * (negative ? -1 : 1))
                              : Value::text((negative ? "-" : "") + t.text);
        } else if (t.is("null") || t.is("default")) {
            arg.value = Value::null();
        } else {
            arg.value = Value::text(t.text);  // 'text', N'text', or a bare word
        }
        args.push_back(std::move(arg));
    }
    runProcedure(proc, args, o);
}

void Executor::runProcedure(const std::string& name, const std::vector<ProcedureArgument>& args, StatementOutcome& o) {
    const std::string lower = toLower(name);
    o.procedure = true;
    if (lower == "sp_helptrigger") {
        const ProcedureArguments a(name, args, {"@tabname", "@triggertype"});
        return helpTrigger(a.requiredText("@tabname"), o);
    }
    if (lower == "sp_helptext") {
        const ProcedureArguments a(name, args, {"@objname", "@columnname"});
        return helpText(a.requiredText("@objname"), o);
    }
    if (lower == "sp_columns") return spColumns(args, o);
    if (lower == "sp_tables") return spTables(args, o);
    if (lower == "sp_pkeys") return spPkeys(args, o);
    if (isUnsupportedSystemProcedure(lower)) {
        fail(50000, "The stand-in does not support the procedure " + name + "; send SQL text.");
    }
    fail(2812, "Could not find stored procedure '" + name + "'.", 16, 62);
}

BatchOutcome Executor::runProcedureCall(const std::string& name, const std::vector<ProcedureArgument>& args) {
    BatchOutcome batch;
    interruption_ = Interruption::None;
    batchAborted_ = false;
    std::map<std::string, Variable> variables;
    variables_ = &variables;
    StatementOutcome o;
    catalog_->refresh();
    try {
        runProcedure(unqualifiedObjectName(name), args, o);
        lastError_ = 0;
    } catch (const StatementError& e) {
        o.failed = true;
        o.result.reset();
        o.rowCount.reset();
        o.messages.push_back(e.message);
        o.messages.back().procedure = name;
        handleFailure(e.message, o);
    }
    o.procedure = true;
    releaseStatementLocks();
    variables_ = nullptr;
    batch.outcomes.push_back(std::move(o));
    batch.interruption = interruption_;
    return batch;
}

void Executor::helpTrigger(const std::string& tableName, StatementOutcome& o) {
    const auto table = catalog_->table(unqualifiedObjectName(tableName));
    if (!table) {
        fail(15009,
             "The object '" + tableName + "' does not exist in database '" + database_ +
                 "' or is invalid for this operation.",
             16, 1);
    }
    ResultSet rs;
    rs.columns = {resultColumn("trigger_name", "nvarchar", 128, false),
                  resultColumn("trigger_owner", "nvarchar", 128, true),
                  resultColumn("isupdate", "int", 0, true),
                  resultColumn("isdelete", "int", 0, true),
                  resultColumn("isinsert", "int", 0, true),
                  resultColumn("isafter", "int", 0, true),
                  resultColumn("isinsteadof", "int", 0, true),
                  resultColumn("trigger_schema", "nvarchar", 128, true)};
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
    const std::string name = unqualifiedObjectName(objectName);
    const auto trigger = catalog_->trigger(name);
    if (!trigger) {
        if (catalog_->table(name)) fail(15197, "There is no text for object '" + objectName + "'.", 16, 1);
        fail(15009,
             "The object '" + objectName + "' does not exist in database '" + database_ +
                 "' or is invalid for this operation.",
             16, 1);
    }
    ResultSet rs;
    rs.columns = {resultColumn("Text", "nvarchar", 255, true)};
    for (auto& line : helpTextRows(trigger->definition)) rs.rows.push_back({Value::text(std::move(line))});
    o.rowCount = rs.rows.size();
    o.command = command::Select;
    lastRowCount_ = static_cast<int64_t>(rs.rows.size());
    o.result = std::move(rs);
}

}  // namespace standin

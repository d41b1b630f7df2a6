// CREATE TRIGGER, DROP TRIGGER, and running AFTER triggers. As on SQL
// Server a trigger runs once per statement, after the statement's own
// changes, with the pseudo-tables `inserted` and `deleted` holding every
// row the statement added, changed or removed; its body is ordinary T-SQL
// run by this executor (IF, DECLARE, SET, RAISERROR, ROLLBACK, DML). The
// text is kept verbatim in the catalogue for sp_helptext.
#include "executor.h"
#include "tds_tokens.h"
#include "text_codec.h"
#include "trigger_text.h"

namespace standin {
namespace {

// SQL Server's limit for nested triggers and procedures.
constexpr int MaxNesting = 32;

std::string pseudoTableName(const char* which, int depth) {
    return std::string(HiddenPrefix) + "_" + which + "_" + std::to_string(depth);
}

// Fills temp.<name> with the table's columns (declared affinity and collation).
void createPseudoTable(sqlite3* db, const std::string& name, const TableInfo& table) {
    std::string ddl = "CREATE TEMP TABLE " + quoteName(name) + " (";
    for (size_t c = 0; c < table.columns.size(); ++c) {
        ddl += (c ? ", " : "") + quoteName(table.columns[c].name) + " " + sqliteColumnType(table.columns[c].type);
    }
    execSql(db, "DROP TABLE IF EXISTS temp." + quoteName(name) + "; " + ddl + ")");
}

}  // namespace

void Executor::runCreateTrigger(const StatementText& s, bool firstInBatch, StatementOutcome&) {
    if (!firstInBatch) fail(111, "'CREATE TRIGGER' must be the first statement in a query batch.", 15);
    const TriggerHeader h = parseTriggerHeader(s);
    checkUserName(h.name);
    if (h.insteadOf) fail(50000, "INSTEAD OF triggers are not supported by the stand-in.");
    const auto table = catalog_->table(h.table);
    if (!table) fail(8197, "The object '" + h.table + "' does not exist or is invalid for this operation.");
    if (catalog_->trigger(h.name) || catalog_->table(h.name)) {
        fail(2714, "There is already an object named '" + h.name + "' in the database.");
    }
    TriggerInfo t;
    t.name = h.name;
    t.table = table->name;
    // The whole batch as sent: comments before CREATE TRIGGER belong to the text, as on SQL Server.
    t.definition = std::string(s.source);
    t.onInsert = h.onInsert;
    t.onUpdate = h.onUpdate;
    t.onDelete = h.onDelete;
    catalog_->addTrigger(t);
}

void Executor::runDropTrigger(const StatementText& s, StatementOutcome&) {
    forEachDropped(s, [&](const std::string& name, bool ifExists) {
        checkUserName(name);
        const auto t = catalog_->trigger(name);
        if (!t) {
            if (ifExists) return;
            fail(3701,
                 "Cannot drop the trigger '" + name + "', because it does not exist or you do not have permission.", 11,
                 5);
        }
        catalog_->dropTrigger(t->name);
    });
}

void Executor::fireTriggers(const TableInfo& table, char event, size_t mark, std::vector<StatementOutcome>& out) {
    std::vector<TriggerInfo> triggers;
    for (auto& t : catalog_->triggersOf(table.name)) {
        if ((event == 'I' && t.onInsert) || (event == 'U' && t.onUpdate) || (event == 'D' && t.onDelete)) {
            triggers.push_back(std::move(t));
        }
    }
    if (triggers.empty()) return;
    // RECURSIVE_TRIGGERS is OFF: a trigger's changes to its own table fire nothing.
    if (!firing_.empty() && equalsIgnoreCase(firing_.back().name, table.name)) return;
    if (triggerDepth_ >= MaxNesting) {
        fail(217, "Maximum stored procedure, function, trigger, or view nesting level exceeded (limit 32).");
    }
    std::vector<int64_t> inserted;
    std::vector<std::vector<Value>> deleted;
    const auto& changes = changes_->changes();
    for (size_t k = mark; k < changes.size(); ++k) {
        const RowChange& c = changes[k];
        if (c.kind == RowChange::Kind::Statement || !equalsIgnoreCase(c.table, table.name)) continue;
        if (c.kind != RowChange::Kind::Insert) deleted.push_back(c.oldValues);
        if (c.kind != RowChange::Kind::Delete) inserted.push_back(c.newRowid);
    }
    for (const auto& trigger : triggers) runTrigger(trigger, table, inserted, deleted, out);
    if (triggerDepth_ == 0 && rollbackInTrigger_) {
        rollbackInTrigger_ = false;
        fail(3609, "The transaction ended in the trigger. The batch has been aborted.");
    }
}

void Executor::runTrigger(const TriggerInfo& trigger, const TableInfo& table,
                          const std::vector<int64_t>& insertedRowids,
                          const std::vector<std::vector<Value>>& deletedRows, std::vector<StatementOutcome>& out) {
    const int depth = triggerDepth_ + 1;
    const std::string inserted = pseudoTableName("inserted", depth);
    const std::string deleted = pseudoTableName("deleted", depth);
    createPseudoTable(db_, inserted, table);
    createPseudoTable(db_, deleted, table);
    {
        Statement copy(db_, "INSERT INTO temp." + quoteName(inserted) + " SELECT * FROM main." + quoteName(table.name) +
                                " WHERE rowid = ?");
        for (const int64_t rowid : insertedRowids) {
            copy.bind(1, rowid);
            copy.step();
            copy.reset();
        }
        std::string marks;
        for (size_t c = 0; c < table.columns.size(); ++c) marks += c ? ", ?" : "?";
        Statement put(db_, "INSERT INTO temp." + quoteName(deleted) + " VALUES (" + marks + ")");
        for (const auto& row : deletedRows) {
            for (size_t c = 0; c < table.columns.size() && c < row.size(); ++c)
                put.bind(static_cast<int>(c + 1), row[c]);
            put.step();
            put.reset();
        }
    }

    const auto tokens = tokenize(trigger.definition);
    const StatementText whole{tokens, {0, tokens.size()}, trigger.definition};
    const TriggerHeader header = parseTriggerHeader(whole);
    std::vector<size_t> lines;
    for (size_t k = 0; k < trigger.definition.size(); ++k) {
        if (trigger.definition[k] == '\n') lines.push_back(k);
    }

    // The trigger's own scope: variables, SET options, SCOPE_IDENTITY, messages' procedure.
    std::map<std::string, Variable> variables;
    struct Scope {
        Executor& e;
        const std::vector<size_t>* lines = e.lineStarts_;
        std::map<std::string, Variable>* variables = e.variables_;
        std::string procedure = e.procedureName_;
        std::optional<int64_t> scopeIdentity = e.scopeIdentity_;
        int64_t rowCount = e.lastRowCount_;
        bool noCount = e.noCount_;
        bool xactAbort = e.xactAbort_;
        // SET LANGUAGE, DATEFORMAT and DATEFIRST in a trigger last until it returns.
        DateSettings dates = e.functions_.conversion.dates;
        ~Scope() {
            e.lineStarts_ = lines;
            e.variables_ = variables;
            e.procedureName_ = procedure;
            e.scopeIdentity_ = scopeIdentity;
            e.lastRowCount_ = rowCount;
            e.noCount_ = noCount;
            e.xactAbort_ = xactAbort;
            e.functions_.conversion.dates = dates;
            e.firing_.pop_back();
            --e.triggerDepth_;
        }
    } scope{*this};
    ++triggerDepth_;
    firing_.push_back(table);
    lineStarts_ = &lines;
    variables_ = &variables;
    procedureName_ = trigger.name;
    scopeIdentity_.reset();
    lastRowCount_ = static_cast<int64_t>(std::max(insertedRowids.size(), deletedRows.size()));
    for (const auto& range : splitStatements(tokens, {header.bodyStart, tokens.size()})) {
        runStatement(StatementText{tokens, range, trigger.definition}, false, out);
    }
}

}  // namespace standin

// CREATE TRIGGER and DROP TRIGGER. A T-SQL trigger becomes one SQLite row
// trigger per event; its body is translated with the pseudo-tables
// `inserted` and `deleted` standing for the NEW and OLD rows. The T-SQL
// text is kept verbatim in the catalogue for sp_helptext.
#include "executor.h"
#include "sql_translate.h"
#include "sqlite_db.h"
#include "text_codec.h"

namespace standin {
namespace {

struct TriggerHeader {
    std::string name;
    std::string table;
    bool onInsert = false, onUpdate = false, onDelete = false, insteadOf = false;
    size_t bodyStart = 0;  // token index after AS
};

TriggerHeader parseHeader(const StatementText& s) {
    TriggerHeader h;
    size_t k = readObjectName(s, 2, h.name);
    if (k == 2) syntaxErrorAt(s, 2);
    if (!s.has(k) || !s.at(k).is("on")) syntaxErrorAt(s, k);
    const size_t tableAt = k + 1;
    k = readObjectName(s, tableAt, h.table);
    if (k == tableAt) syntaxErrorAt(s, tableAt);
    while (s.has(k) && !(s.at(k).is("for") || s.at(k).is("after") || s.at(k).is("instead"))) {
        if (s.at(k).is("as")) syntaxErrorAt(s, k);
        ++k;  // WITH options
    }
    if (!s.has(k)) syntaxErrorAt(s, k);
    if (s.at(k).is("instead")) {
        h.insteadOf = true;
        ++k;
        if (!s.has(k) || !s.at(k).is("of")) syntaxErrorAt(s, k);
    }
    ++k;
    for (;;) {
        if (!s.has(k)) syntaxErrorAt(s, k);
        if (s.at(k).is("insert")) h.onInsert = true;
        else if (s.at(k).is("update")) h.onUpdate = true;
        else if (s.at(k).is("delete")) h.onDelete = true;
        else syntaxErrorAt(s, k);
        ++k;
        if (s.has(k) && s.at(k).isSymbol(",")) {
            ++k;
            continue;
        }
        break;
    }
    while (s.has(k) && !s.at(k).is("as")) ++k;  // WITH APPEND, NOT FOR REPLICATION
    if (!s.has(k)) syntaxErrorAt(s, k);
    h.bodyStart = k + 1;
    if (!s.has(h.bodyStart)) syntaxErrorAt(s, h.bodyStart);
    return h;
}

// The statements of a trigger body, without BEGIN ... END around them and
// without SET NOCOUNT, which means nothing inside SQLite.
void collectBody(const StatementText& s, std::vector<StatementText>& out) {
    for (const auto& r : splitStatements(s.tokens, s.range)) {
        StatementText st{s.tokens, r, s.source};
        const Token& head = st.at(0);
        if (head.is("begin") && !(st.has(1) && (st.at(1).is("tran") || st.at(1).is("transaction")))) {
            size_t end = st.size();
            if (end > 1 && st.at(end - 1).is("end")) --end;
            collectBody(st.sub(1, end), out);
            continue;
        }
        if (head.is("set") && st.has(1) && st.at(1).is("nocount")) continue;
        if (!(head.is("insert") || head.is("update") || head.is("delete") || head.is("select"))) {
            fail(50000, "The stand-in cannot run '" + head.text +
                            "' inside a trigger; trigger bodies may hold INSERT, UPDATE, DELETE and SELECT.");
        }
        out.push_back(st);
    }
}

std::string rowSelect(const TableInfo& table, const char* row) {
    std::string out = "(SELECT ";
    for (size_t c = 0; c < table.columns.size(); ++c) {
        const std::string col = quoteName(table.columns[c].name);
        out += std::string(c ? ", " : "") + (row ? std::string(row) + "." + col : std::string("NULL")) + " AS " + col;
    }
    return out + (row ? ")" : " WHERE 0)");
}

const char* const EventSuffixes[] = {"__ins", "__upd", "__del"};

}  // namespace

void Executor::installTrigger(const TriggerInfo& t, const TableInfo& table) {
    const auto tokens = tokenize(t.definition);
    const StatementText s{tokens, {0, tokens.size()}, t.definition};
    const TriggerHeader h = parseHeader(s);
    std::vector<StatementText> body;
    collectBody(s.sub(h.bodyStart, s.size()), body);
    const bool events[] = {t.onInsert, t.onUpdate, t.onDelete};
    const char* const sqliteEvents[] = {"INSERT", "UPDATE", "DELETE"};
    for (int e = 0; e < 3; ++e) {
        if (!events[e]) continue;
        const char* newRow = e == 2 ? nullptr : "NEW";
        const char* oldRow = e == 0 ? nullptr : "OLD";
        const std::string inserted = rowSelect(table, newRow);
        const std::string deleted = rowSelect(table, oldRow);
        TranslateContext ctx;
        ctx.globalVariable = [](const std::string& name) -> std::optional<std::string> {
            if (name == "@@rowcount") return "1";
            if (name == "@@trancount") return "1";
            return std::nullopt;
        };
        ctx.pseudoTable = [&](const std::string& name) -> std::optional<std::string> {
            if (name == "inserted") return inserted;
            if (name == "deleted") return deleted;
            return std::nullopt;
        };
        std::string program;
        for (const auto& st : body) {
            std::string sql = translateToSqlite(st, ctx);
            // SQLite wants INTO after INSERT.
            if (st.at(0).is("insert") && !(st.has(1) && st.at(1).is("into"))) {
                sql = "INSERT INTO" + sql.substr(6);
            }
            program += sql + "; ";
        }
        if (program.empty()) program = "SELECT 1; ";
        execSql(db_, "CREATE TRIGGER " + quoteName(t.name + EventSuffixes[e]) + " AFTER " + sqliteEvents[e] + " ON " +
                         quoteName(table.name) + " FOR EACH ROW BEGIN " + program + "END");
    }
}

void Executor::removeSqliteTriggers(const std::string& triggerName) {
    for (const char* suffix : EventSuffixes) {
        execSql(db_, "DROP TRIGGER IF EXISTS " + quoteName(triggerName + suffix));
    }
}

void Executor::runCreateTrigger(const StatementText& s, bool firstInBatch, StatementOutcome&) {
    if (!firstInBatch) fail(111, "'CREATE TRIGGER' must be the first statement in a query batch.", 15);
    const TriggerHeader h = parseHeader(s);
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
    // The text from CREATE to the end of the batch, exactly as sent.
    t.definition = std::string(s.source.substr(s.at(0).begin));
    t.onInsert = h.onInsert;
    t.onUpdate = h.onUpdate;
    t.onDelete = h.onDelete;
    installTrigger(t, *table);
    catalog_->addTrigger(t);
}

void Executor::runDropTrigger(const StatementText& s, StatementOutcome&) {
    forEachDropped(s, [&](const std::string& name, bool ifExists) {
        checkUserName(name);
        const auto t = catalog_->trigger(name);
        if (!t) {
            if (ifExists) return;
            fail(3701, "Cannot drop the trigger '" + name + "', because it does not exist or you do not have permission.",
                 11, 5);
        }
        removeSqliteTriggers(t->name);
        catalog_->dropTrigger(t->name);
    });
}

}  // namespace standin

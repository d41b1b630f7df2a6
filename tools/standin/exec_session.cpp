// Statements about the session rather than the data: SET options, USE,
// PRINT, and the control flow of IF ... ELSE and BEGIN ... END.
#include "executor.h"
#include "sqlite_db.h"
#include "tds_tokens.h"
#include "text_codec.h"

#include <algorithm>
#include <cstdlib>

namespace standin {
namespace {

bool onOff(const StatementText& s, size_t k, bool& on) {
    if (!s.has(k)) return false;
    if (s.at(k).is("on")) {
        on = true;
        return true;
    }
    if (s.at(k).is("off")) {
        on = false;
        return true;
    }
    return false;
}

// SET options that the stand-in accepts (most of them without effect).
bool isIgnoredOption(const std::string& lower) {
    static const char* const options[] = {"ansi_nulls",
                                          "ansi_null_dflt_on",
                                          "ansi_null_dflt_off",
                                          "ansi_padding",
                                          "ansi_warnings",
                                          "ansi_defaults",
                                          "arithabort",
                                          "arithignore",
                                          "concat_null_yields_null",
                                          "cursor_close_on_commit",
                                          "numeric_roundabort",
                                          "quoted_identifier",
                                          "xact_abort",
                                          "fmtonly",
                                          "nocount",
                                          "noexec",
                                          "parseonly",
                                          "showplan_text",
                                          "showplan_all",
                                          "statistics",
                                          "forceplan",
                                          "remote_proc_transactions",
                                          "implicit_transactions",
                                          "identity_insert",
                                          "no_browsetable",
                                          "offsets"};
    for (const char* o : options) {
        if (lower == o) return true;
    }
    return false;
}

}  // namespace

bool isKnownSetOption(const std::string& lower) {
    static const char* const handled[] = {"identity_insert",
                                          "nocount",
                                          "implicit_transactions",
                                          "xact_abort",
                                          "lock_timeout",
                                          "transaction",
                                          "rowcount",
                                          "textsize",
                                          "dateformat",
                                          "datefirst",
                                          "language",
                                          "deadlock_priority",
                                          "query_governor_cost_limit"};
    for (const char* o : handled) {
        if (lower == o) return true;
    }
    return isIgnoredOption(lower);
}

void Executor::runSet(const StatementText& s, StatementOutcome& o) {
    if (!s.has(1)) fail(102, "Incorrect syntax near 'SET'.", 15);
    const Token& option = s.at(1);
    if (option.kind == TokenKind::Variable) {
        fail(137, "Must declare the scalar variable \"" + option.text + "\".", 15, 2);
    }
    const std::string name = toLower(option.text);
    bool on = false;
    if (name == "identity_insert") {
        // The table name may come qualified: [db.]dbo.table.
        std::string table;
        const size_t k = readObjectName(s, 2, table);
        if (k == 2 || !onOff(s, k, on) || s.has(k + 1)) syntaxErrorAt(s, k == 2 ? 2 : k + 1);
        const TableInfo t = requireTable(table);
        if (t.identityColumn() < 0) {
            fail(8106, "Table '" + t.name + "' does not have the identity property. Cannot perform SET operation.");
        }
        if (on) {
            if (!identityInsertTable_.empty() && !equalsIgnoreCase(identityInsertTable_, t.name)) {
                fail(8107, "IDENTITY_INSERT is already ON for table '" + database_ + ".dbo." + identityInsertTable_ +
                               "'. Cannot perform SET operation for table '" + t.name + "'.");
            }
            identityInsertTable_ = t.name;
        } else if (equalsIgnoreCase(identityInsertTable_, t.name)) {
            identityInsertTable_.clear();
        }
        return;
    }
    if (name == "nocount" && onOff(s, 2, on)) {
        noCount_ = on;
        return;
    }
    if (name == "implicit_transactions" && onOff(s, 2, on)) {
        implicitTransactions_ = on;
        return;
    }
    if (name == "xact_abort" && onOff(s, 2, on)) {
        xactAbort_ = on;
        return;
    }
    if (name == "lock_timeout") {
        // Milliseconds to wait for a lock; -1 (the default) waits without end, 0 not at all.
        size_t k = 2;
        const bool negative = s.has(k) && s.at(k).isSymbol("-");
        if (negative) ++k;
        if (!s.has(k) || s.at(k).kind != TokenKind::Number || s.has(k + 1)) syntaxErrorAt(s, k);
        const long long ms = std::atoll(s.at(k).text.c_str());
        lockTimeoutMs_ = negative ? (ms == 1 ? -1 : 0) : static_cast<int>(std::min<long long>(ms, 2147483647));
        if (negative && ms != 1) fail(1204, "The LOCK_TIMEOUT value must be -1 or greater.", 16, 1);
        return;
    }
    if (name == "transaction") {
        // SET TRANSACTION ISOLATION LEVEL ...
        std::string level;
        for (size_t k = 4; s.has(k); ++k) level += (level.empty() ? "" : " ") + toLower(s.at(k).text);
        if (!(s.has(3) && s.at(2).is("isolation") && s.at(3).is("level"))) syntaxErrorAt(s, 2);
        if (level == "read uncommitted")
            isolation_ = Isolation::ReadUncommitted;
        else if (level == "read committed")
            isolation_ = Isolation::ReadCommitted;
        else if (level == "repeatable read")
            isolation_ = Isolation::RepeatableRead;
        else if (level == "serializable")
            isolation_ = Isolation::Serializable;
        else if (level == "snapshot")
            fail(50000, "SNAPSHOT isolation is not supported by the stand-in.");
        else
            syntaxErrorAt(s, 4);
        return;
    }
    if (name == "rowcount") {
        if (s.has(2) && s.at(2).kind == TokenKind::Number && s.at(2).text == "0") return;
        fail(50000, "SET ROWCOUNT other than 0 is not supported by the stand-in.");
    }
    if (name == "dateformat" || name == "language" || name == "datefirst") return setDateOption(s, o);
    if (name == "textsize" || name == "deadlock_priority" || name == "query_governor_cost_limit") {
        return;
    }
    // SET option[, option ...] ON|OFF
    size_t k = 1;
    std::vector<std::string> listed;
    while (s.has(k) && s.at(k).kind == TokenKind::Word && isIgnoredOption(toLower(s.at(k).text))) {
        listed.push_back(toLower(s.at(k).text));
        ++k;
        if (s.has(k) && s.at(k).isSymbol(",")) ++k;
    }
    if (k > 1 && onOff(s, k, on) && !s.has(k + 1)) {
        for (const auto& named : listed) {
            if (named == "nocount") noCount_ = on;
            if (named == "xact_abort") xactAbort_ = on;
            if (named == "implicit_transactions") implicitTransactions_ = on;
        }
        return;
    }
    fail(195, "'" + option.text + "' is not a recognized SET option.", 15);
}

void Executor::setDateOption(const StatementText& s, StatementOutcome& o) {
    const std::string option = toLower(s.at(1).text);
    // The value: a word, a [quoted name] or a string literal; for DATEFIRST a number.
    if (!s.has(2) || s.has(3)) syntaxErrorAt(s, s.has(2) ? 3 : 2);
    const Token& value = s.at(2);
    if (value.kind == TokenKind::Variable) fail(137, "Must declare the scalar variable \"" + value.text + "\".", 15, 2);
    DateSettings& dates = functions_.conversion.dates;
    if (option == "datefirst") {
        const int day = value.kind == TokenKind::Number ? std::atoi(value.text.c_str()) : 0;
        if (day < 1 || day > 7) fail(2742, "SET DATEFIRST " + value.text + " is out of range.");
        dates.dateFirst = day;
        return;
    }
    if (!value.isName() && value.kind != TokenKind::String) syntaxErrorAt(s, 2);
    if (option == "dateformat") {
        const auto order = parseDateOrder(value.text);
        if (!order) fail(2741, "SET DATEFORMAT date order '" + value.text + "' is invalid.");
        dates.order = *order;
        return;
    }
    const Language* language = findLanguage(value.text);
    if (!language) {
        fail(2740, "SET LANGUAGE failed because '" + value.text +
                       "' is not an official language name or a language alias on this SQL Server.");
    }
    // A new language brings its own date order and first weekday, and the
    // client hears of it as at login.
    const std::string old = dates.language->name;
    dates.setLanguage(*language);
    o.envChanges.push_back({env_type::Language, language->name, old, false});
    o.messages.push_back(sqlInfo(5703, std::string("Changed language setting to ") + language->name + "."));
}

void Executor::runUse(const StatementText& s, StatementOutcome& o) {
    if (!s.has(1) || !s.at(1).isName() || s.has(2)) fail(102, "Incorrect syntax near 'USE'.", 15);
    const std::string name = s.at(1).text;
    const auto stored = directory_.find(name);
    if (!stored) {
        fail(911, "Database '" + name + "' does not exist. Make sure that the name is entered correctly.");
    }
    if (equalsIgnoreCase(*stored, database_)) {
        o.envChanges.push_back({env_type::Database, database_, database_, false});
        o.messages.push_back(sqlInfo(5701, "Changed database context to '" + database_ + "'.", 1));
        return;
    }
    if (tranCount_ > 0) fail(50000, "USE inside a transaction is not supported by the stand-in.");
    finishWriting();
    const std::string old = database_;
    const std::string oldCollation = collation().wireBytes();
    if (auto error = open(*stored)) throw StatementError{*error};
    identityInsertTable_.clear();
    o.envChanges.push_back({env_type::Database, database_, old, false});
    // The new database's collation, as at login.
    o.envChanges.push_back({env_type::Collation, collation().wireBytes(), oldCollation, true});
    o.messages.push_back(sqlInfo(5701, "Changed database context to '" + database_ + "'.", 1));
}

void Executor::runPrint(const StatementText& s, StatementOutcome& o) {
    if (!s.has(1)) fail(102, "Incorrect syntax near 'PRINT'.", 15);
    const Value v = evaluate(s.sub(1, s.size()));
    o.messages.push_back(sqlInfo(0, valueText(v)));
}

void Executor::runIf(const StatementText& s, std::vector<StatementOutcome>& out) {
    if (s.at(0).is("while")) {
        StatementOutcome o;
        o.failed = true;
        o.messages.push_back(sqlError(50000, "WHILE is not supported by the stand-in."));
        o.messages.back().line = lineOf(s);
        out.push_back(std::move(o));
        lastError_ = 50000;
        return;
    }
    // The condition ends where the statement it guards begins.
    const size_t k = conditionEnd(s);
    bool condition = false;
    try {
        if (k <= 1 || !s.has(k)) fail(102, "Incorrect syntax near 'IF'.", 15);
        const StatementText cond = s.sub(1, k);
        takeLocks(locksFor(s.sub(0, k)));
        for (size_t j = 0; j < cond.size(); ++j) {
            if (cond.at(j).isName() && equalsIgnoreCase(cond.at(j).text, "sysdatabases")) refreshSysDatabases();
        }
        Statement q(db_, "SELECT CASE WHEN " + translate(cond) + " THEN 1 ELSE 0 END");
        condition = q.step() && q.columnInt(0) == 1;
        if (triggerDepth_ == 0) releaseStatementLocks();
    } catch (const StatementError& thrown) {
        if (triggerDepth_ > 0) throw;
        if (triggerDepth_ == 0) releaseStatementLocks();
        if (interruption_ != Interruption::None) {
            batchAborted_ = true;
            return;
        }
        StatementOutcome o;
        o.failed = true;
        o.messages.push_back(thrown.message);
        o.messages.back().line = lineOf(s);
        handleFailure(thrown.message, o);
        out.push_back(std::move(o));
        return;
    }
    const size_t bodyEnd = statementEnd(s.tokens, s.range.first + k, s.range.last) - s.range.first;
    if (condition) {
        runStatement(s.sub(k, bodyEnd), false, out);
    } else if (bodyEnd < s.size() && s.at(bodyEnd).is("else") && s.has(bodyEnd + 1)) {
        runStatement(s.sub(bodyEnd + 1, s.size()), false, out);
    }
}

void Executor::runBlock(const StatementText& s, std::vector<StatementOutcome>& out) {
    size_t end = s.size();
    if (end > 1 && s.at(end - 1).is("end")) --end;
    const auto inner = splitStatements(s.tokens, {s.range.first + 1, s.range.first + end});
    for (const auto& r : inner) {
        runStatement(StatementText{s.tokens, r, s.source}, false, out);
        if (batchAborted_ || interruption_ != Interruption::None) return;
    }
}

}  // namespace standin

#include "executor.h"

#include "database_options.h"
#include "sql_translate.h"
#include "tds_tokens.h"
#include "text_codec.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace standin {
namespace {

// A safety net only: sessions take the writer turn before they write, so
// SQLite's own lock is free by the time they ask for it.
constexpr int BusyTimeoutMs = 20000;
// How often a running batch looks for the client's attention.
constexpr std::chrono::milliseconds PollInterval{10};
// SQLite virtual machine steps between two looks while a query runs.
constexpr int ProgressSteps = 4000;

bool isWriteStatement(const StatementText& s) {
    const Token& head = s.at(0);
    if (head.is("insert") || head.is("update") || head.is("delete") || head.is("truncate")) return true;
    if ((head.is("create") || head.is("drop") || head.is("alter")) && s.has(1)) {
        return !s.at(1).is("database");
    }
    return head.is("dbcc");
}

// Statements that open a transaction when IMPLICIT_TRANSACTIONS is ON.
bool startsImplicitTransaction(const StatementText& s) {
    const Token& head = s.at(0);
    if (head.is("select")) {
        for (size_t k = 1; k < s.size(); ++k) {
            if (s.at(k).is("from")) return true;
        }
        return false;
    }
    return isWriteStatement(s);
}

std::string savepointName(int depth) { return "standin_statement_" + std::to_string(depth); }

// Errors SQL Server finds while compiling a statement. Met while the batch
// runs (names resolved late, deferred name resolution) they end the batch.
bool isCompileError(int number) {
    switch (number) {
    case 102:
    case 105:
    case 109:
    case 110:
    case 111:
    case 113:
    case 120:
    case 121:
    case 134:
    case 137:
    case 141:
    case 156:
    case 195:
    case 207:
    case 208:
    case 213:
    case 4104:
    case 8101:
    case 10709: return true;
    default: return false;
    }
}

// Conversion errors end the batch and roll its transaction back. An
// arithmetic overflow (8115, also met converting a value to a narrower
// numeric) is not among them: with ANSI_WARNINGS ON, SQL Server's default,
// "arithmetic errors cause the query to end, but the batch doesn't abort (as
// long as the setting XACT_ABORT is OFF)" (SQL Server's documentation of
// SET ARITHABORT), so it ends its statement alone.
bool isConversionError(int number) {
    return number == 245 || number == 241 || number == 242 || number == 8114 || number == 8169;
}

std::vector<size_t> lineStartsOf(std::string_view text) {
    std::vector<size_t> starts;
    for (size_t k = 0; k < text.size(); ++k) {
        if (text[k] == '\n') starts.push_back(k);
    }
    return starts;
}

}  // namespace

std::string serverVersionText() {
    return std::string("Microsoft SQL Server 2012 - 11.0.2100.60 (X64) (dovrel-standin on SQLite ") +
           sqlite3_libversion() + ")";
}

Executor::Executor(DatabaseDirectory& directory, SessionInfo info) : directory_(directory), info_(std::move(info)) {
    functions_.login = info_.login;
    functions_.appName = info_.appName;
    functions_.hostName = info_.hostName;
    functions_.conversion.dates.setLanguage(info_.language ? *info_.language : usEnglish());
}

Executor::~Executor() {
    abandon();
    closeDatabase();
}

void Executor::closeDatabase() {
    if (!connection_) return;
    savepointStatements_.clear();
    insertStatements_.clear();
    changes_.reset();
    catalog_.reset();
    db_ = nullptr;
    connection_.reset();
    if (shared_) shared_->locks.releaseAll(info_.spid);
    shared_.reset();
    directory_.release(database_);
}

std::optional<SqlMessage> Executor::open(const std::string& name) {
    const auto stored = directory_.find(name);
    if (!stored) {
        return sqlError(4060, "Cannot open database \"" + name + "\" requested by the login. The login failed.", 11);
    }
    SqliteHandle db;
    try {
        db = openSqlite(directory_.pathOf(*stored).string(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX);
        sqlite3_busy_timeout(db.get(), BusyTimeoutMs);
        // Names in double quotes are names, never string literals.
        sqlite3_db_config(db.get(), SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
        sqlite3_db_config(db.get(), SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
        execSql(db.get(), "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA foreign_keys=ON;");
        Catalog(db.get()).ensureSchema();
    } catch (const StatementError& e) {
        return sqlError(4060, "Cannot open database \"" + name + "\": " + e.message.text, 11);
    }
    closeDatabase();
    connection_ = std::move(db);
    db_ = connection_.get();
    database_ = *stored;
    functions_.database = database_;
    functions_.conversion.collation = &storedDatabaseCollation(db_);
    registerFunctions(db_, &functions_);
    sqlite3_progress_handler(db_, ProgressSteps, &Executor::progressHandler, this);
    changes_ = std::make_unique<ChangeRecorder>(db_);
    catalog_.emplace(db_);
    shared_ = directory_.state(database_);
    directory_.acquire(database_);
    return std::nullopt;
}

Interruption Executor::pollInterrupt() {
    if (interruption_ != Interruption::None || !interruptCheck_) return interruption_;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastPoll_ < PollInterval) return Interruption::None;
    lastPoll_ = now;
    interruption_ = interruptCheck_();
    return interruption_;
}

void Executor::throwInterrupted() { fail(0, "The request was cancelled.", 0); }

int Executor::progressHandler(void* self) {
    auto* e = static_cast<Executor*>(self);
    // Only read-only queries are cut short: SQLite answers an interrupted
    // write by rolling back its whole transaction, earlier statements too.
    return e->interruptibleQuery_ && e->pollInterrupt() != Interruption::None ? 1 : 0;
}

int32_t Executor::lineOf(const StatementText& s) const {
    if (!lineStarts_ || s.size() == 0) return 1;
    const size_t at = s.at(0).begin;
    return static_cast<int32_t>(
        1 + (std::upper_bound(lineStarts_->begin(), lineStarts_->end(), at) - lineStarts_->begin()));
}

BatchOutcome Executor::runBatch(const std::string& sql) {
    BatchOutcome batch;
    auto& out = batch.outcomes;
    interruption_ = Interruption::None;
    batchAborted_ = false;
    std::vector<Token> tokens;
    try {
        tokens = tokenize(sql);
    } catch (const StatementError& e) {
        StatementOutcome o;
        o.failed = true;
        o.messages.push_back(e.message);
        out.push_back(std::move(o));
        lastError_ = e.message.number;
        return batch;
    }
    const auto lines = lineStartsOf(sql);
    lineStarts_ = &lines;
    std::map<std::string, Variable> variables;
    variables_ = &variables;
    const auto statements = splitStatements(tokens, {0, tokens.size()});
    catalog_->refresh();
    if (auto error = compile(statements, tokens, sql)) {
        StatementOutcome o;
        o.failed = true;
        o.messages.push_back(*error);
        out.push_back(std::move(o));
        lastError_ = error->number;
    } else {
        bool first = true;
        for (const auto& range : statements) {
            if (pollInterrupt() != Interruption::None) break;
            runStatement(StatementText{tokens, range, sql}, first, out);
            first = false;
            if (batchAborted_ || interruption_ != Interruption::None) break;
            // Another session waits to write, or for a table this batch changed: let it, between two statements.
            if (writing_ && (shared_->writer.othersWaiting() || shared_->locks.othersWaitFor(info_.spid))) {
                finishWriting();
            }
        }
    }
    batch.interruption = interruption_;
    try {
        if (interruption_ == Interruption::ClientGone) {
            abandon();
        } else if (interruption_ == Interruption::Attention && xactAbort_ && tranCount_ > 0) {
            StatementOutcome o;
            rollbackTran(o);
        }
        finishWriting();
    } catch (const StatementError& e) {
        StatementOutcome o;
        o.failed = true;
        o.messages.push_back(e.message);
        out.push_back(std::move(o));
    }
    variables_ = nullptr;
    lineStarts_ = nullptr;
    return batch;
}

void Executor::runStatement(const StatementText& s, bool firstInBatch, std::vector<StatementOutcome>& out) {
    catalog_->refresh();
    const ScopeGuard scope(*this, s);
    const Token& head = s.at(0);
    if (head.is("if") || head.is("while")) return runIf(s, out);
    if (head.is("begin") &&
        !(s.has(1) && (s.at(1).is("tran") || s.at(1).is("transaction") || s.at(1).is("distributed")))) {
        return runBlock(s, out);
    }
    runSimple(s, firstInBatch, out);
}

void Executor::runSimple(const StatementText& s, bool firstInBatch, std::vector<StatementOutcome>& out) {
    StatementOutcome o;
    o.inProcedure = triggerDepth_ > 0;
    bool savepoint = false;
    size_t mark = changes_->size();
    try {
        if (implicitTransactions_ && tranCount_ == 0 && startsImplicitTransaction(s)) beginTran(o);
        takeLocks(locksFor(s));
        if (isWriteStatement(s)) {
            startWriting();
            // Each statement is atomic: a savepoint inside the SQLite transaction.
            savepointStep(0, ++savepointDepth_);
            savepoint = true;
            mark = changes_->size();
        }
        dispatch(s, firstInBatch, o, out);
        if (savepoint) {
            savepointStep(1, savepointDepth_--);
            savepoint = false;
        }
        if (!o.failed) lastError_ = 0;
    } catch (const StatementError& thrown) {
        SqlMessage error = thrown.message;
        if (savepoint) {
            // Undo the statement alone; a write SQLite rolled back entirely has no savepoint left.
            if (!sqlite3_get_autocommit(db_)) {
                sqlite3_exec(
                    db_,
                    ("ROLLBACK TO " + savepointName(savepointDepth_) + "; RELEASE " + savepointName(savepointDepth_))
                        .c_str(),
                    nullptr, nullptr, nullptr);
            }
            --savepointDepth_;
            changes_->truncate(mark);
            keepCounters();
        }
        if (error.procedure.empty() && !procedureName_.empty()) {
            error.procedure = procedureName_;
            error.line = lineOf(s);
        }
        // Inside a trigger, the statement that fired it answers for the error.
        if (triggerDepth_ > 0) throw StatementError{error};
        if (interruption_ != Interruption::None) {
            batchAborted_ = true;
        } else {
            o.failed = true;
            o.result.reset();
            o.rowCount.reset();
            o.messages.push_back(error);
            handleFailure(error, o);
        }
    }
    if (triggerDepth_ == 0) {
        // Outside a transaction nothing needs undoing later; its locks end with the statement.
        if (tranCount_ == 0) changes_->clear();
        releaseStatementLocks();
    }
    const int32_t line = lineOf(s);
    for (auto& m : o.messages) {
        if (!m.procedure.empty()) continue;  // raised in a trigger, with its line there
        m.line = line;
        m.procedure = procedureName_;
    }
    // No DONE for a declaration, nor (under NOCOUNT) for a quiet statement of a trigger.
    const bool quiet = !o.failed && o.messages.empty() && !o.result && o.envChanges.empty() &&
                       (s.at(0).is("declare") || (o.inProcedure && noCount_));
    if ((interruption_ == Interruption::None || !o.messages.empty() || o.result) && !quiet) out.push_back(std::move(o));
}

void Executor::savepointStep(int kind, int depth) {
    const size_t at = static_cast<size_t>(depth) * 3 + static_cast<size_t>(kind);
    if (savepointStatements_.size() <= at) savepointStatements_.resize(at + 1);
    auto& stmt = savepointStatements_[at];
    if (!stmt) {
        const std::string name = savepointName(depth);
        stmt = std::make_unique<Statement>(db_, kind == 0   ? "SAVEPOINT " + name
                                                : kind == 1 ? "RELEASE " + name
                                                            : "ROLLBACK TO " + name);
    }
    stmt->step();
    stmt->reset();
    if (kind == 2) savepointStep(1, depth);
}

ErrorScope Executor::scopeOf(const SqlMessage& error) const {
    if (isCompileError(error.number)) return ErrorScope::Batch;
    // Deadlock victims, conversions and a transaction a trigger ended take the transaction with them.
    if (isConversionError(error.number) || error.number == 1205 || error.number == 3609) return ErrorScope::Transaction;
    // SET XACT_ABORT ON: every run-time error ends the batch and its transaction.
    return xactAbort_ ? ErrorScope::Transaction : ErrorScope::Statement;
}

void Executor::handleFailure(const SqlMessage& error, StatementOutcome& o) {
    lastError_ = error.number;
    if (writing_ && sqlite3_get_autocommit(db_)) {
        // SQLite gave its transaction up (a full disk, an I/O error): so does the session.
        writing_ = false;
        savepointDepth_ = 0;
        changes_->clear();
        catalog_->invalidate();
        shared_->writer.give(info_.spid);
        if (tranCount_ > 0) {
            try {
                rollbackTran(o);
            } catch (const StatementError& e) {
                o.messages.push_back(e.message);
            }
        }
        batchAborted_ = true;
        return;
    }
    const ErrorScope scope = scopeOf(error);
    if (scope == ErrorScope::Statement) return;
    batchAborted_ = true;
    if (scope == ErrorScope::Transaction && tranCount_ > 0) {
        try {
            rollbackTran(o);
        } catch (const StatementError& e) {
            o.messages.push_back(e.message);
        }
    }
}

void Executor::dispatch(const StatementText& s, bool firstInBatch, StatementOutcome& o,
                        std::vector<StatementOutcome>& out) {
    const Token& head = s.at(0);
    const bool second = s.has(1);
    if (head.is("select")) {
        if (second && s.at(1).kind == TokenKind::Variable && s.has(2) && s.at(2).isSymbol("=") &&
            s.at(1).text.rfind("@@", 0) != 0) {
            return runSelectAssign(s, o);
        }
        return runSelect(s, o);
    }
    if (head.is("insert")) return runInsert(s, o, out);
    if (head.is("update")) return runUpdate(s, o, out);
    if (head.is("delete")) return runDelete(s, o, out);
    if (head.is("truncate")) return runTruncate(s, o);
    if (head.is("set")) {
        if (second && s.at(1).kind == TokenKind::Variable) return runSetVariable(s, o);
        return runSet(s, o);
    }
    if (head.is("declare")) return runDeclare(s, o);
    if (head.is("raiserror")) return runRaiserror(s, o);
    if (head.is("dbcc")) return runDbcc(s, o);
    if (head.is("use")) return runUse(s, o);
    if (head.is("print")) return runPrint(s, o);
    if (head.is("exec") || head.is("execute")) return runExec(s, o);
    if (head.is("begin") || head.is("commit") || head.is("rollback") || head.is("save")) {
        return runTransactionStatement(s, o);
    }
    if (head.is("create") && second) {
        if (s.at(1).is("table")) return runCreateTable(s, o);
        if (s.at(1).is("database")) return runCreateDatabase(s, o);
        if (s.at(1).is("trigger")) return runCreateTrigger(s, firstInBatch, o);
        if (s.at(1).is("index") || s.at(1).is("unique") || s.at(1).is("clustered") || s.at(1).is("nonclustered")) {
            return runCreateIndex(s, o);
        }
    }
    if (head.is("drop") && second) {
        if (s.at(1).is("table")) return runDropTable(s, o);
        if (s.at(1).is("database")) return runDropDatabase(s, o);
        if (s.at(1).is("trigger")) return runDropTrigger(s, o);
        if (s.at(1).is("index")) return runDropIndex(s, o);
    }
    // A procedure name alone as the first statement of a batch executes it.
    if (firstInBatch && head.kind == TokenKind::Word && !isStatementKeyword(head) && !isReservedWord(head.text)) {
        return runExec(s, o);
    }
    if (head.kind == TokenKind::Word && isStatementKeyword(head)) {
        fail(50000,
             "The stand-in does not support this statement: " + s.text(0, std::min<size_t>(s.size(), 3)) + " ...");
    }
    if (head.kind == TokenKind::Word && isReservedWord(head.text)) {
        fail(156, "Incorrect syntax near the keyword '" + head.text + "'.", 15);
    }
    fail(102, "Incorrect syntax near '" + head.text + "'.", 15);
}

int Executor::effectiveTranCount() const {
    if (triggerDepth_ > 0 && rollbackInTrigger_) return 0;
    // A trigger always runs inside a transaction: the statement's own, if no other.
    return triggerDepth_ > 0 && tranCount_ == 0 ? 1 : tranCount_;
}

std::string Executor::translate(const StatementText& s) const {
    TranslateContext ctx;
    ctx.globalVariable = [this](const std::string& name) -> std::optional<std::string> {
        if (name == "@@version") return quoteText(serverVersionText());
        if (name == "@@spid") return std::to_string(info_.spid);
        if (name == "@@trancount") return std::to_string(effectiveTranCount());
        if (name == "@@identity") return lastIdentity_ ? std::to_string(*lastIdentity_) : "NULL";
        if (name == "@@rowcount") return std::to_string(lastRowCount_);
        if (name == "@@error") return std::to_string(lastError_);
        if (name == "@@servername") return quoteText(info_.serverName);
        if (name == "@@language") return quoteText(language().name);
        if (name == "@@datefirst") return std::to_string(functions_.conversion.dates.dateFirst);
        if (name == "@@max_precision") return "38";
        if (name == "@@textsize") return "2147483647";
        if (name == "@@options") return "0";
        if (name == "@@nestlevel") return std::to_string(triggerDepth_);
        if (name == "@@lock_timeout") return std::to_string(lockTimeoutMs_);
        return std::nullopt;
    };
    ctx.variable = [this](const std::string& name) -> std::optional<std::string> {
        if (!variables_) return std::nullopt;
        const auto it = variables_->find(toLower(name));
        if (it == variables_->end()) return std::nullopt;
        return sqlLiteral(it->second.value);
    };
    if (triggerDepth_ > 0) {
        ctx.pseudoTable = [this](const std::string& name) -> std::optional<std::string> {
            if (name == "inserted" || name == "deleted") {
                return "temp." +
                       quoteName(std::string(HiddenPrefix) + "_" + name + "_" + std::to_string(triggerDepth_));
            }
            return std::nullopt;
        };
    }
    addTypingTo(ctx);
    std::string sql = translateToSqlite(s, ctx);
    // SCOPE_IDENTITY() is the last identity of this scope: triggers have their own.
    for (size_t pos; (pos = toLower(sql).find("scope_identity()")) != std::string::npos;) {
        sql.replace(pos, 16, scopeIdentity_ ? std::to_string(*scopeIdentity_) : "NULL");
    }
    return sql;
}

Value Executor::evaluate(const StatementText& expr) {
    Statement q(db_, "SELECT " + translate(expr));
    if (!q.step()) return Value::null();
    return q.column(0);
}

Variable* Executor::findVariable(const std::string& name) {
    if (!variables_) return nullptr;
    const auto it = variables_->find(toLower(name));
    return it == variables_->end() ? nullptr : &it->second;
}

void Executor::refreshSysDatabases() {
    execSql(db_,
            "CREATE TEMP TABLE IF NOT EXISTS sysdatabases (name TEXT NOT NULL COLLATE NOCASE, dbid INTEGER NOT NULL,"
            " crdate TEXT NOT NULL, cmptlevel INTEGER NOT NULL, filename TEXT);"
            "DELETE FROM temp.sysdatabases;");
    Statement ins(db_,
                  "INSERT INTO temp.sysdatabases (name, dbid, crdate, cmptlevel, filename) VALUES (?, ?, ?, 110, ?)");
    for (const auto& d : directory_.list()) {
        ins.bind(1, d.name);
        ins.bind(2, static_cast<int64_t>(d.dbid));
        ins.bind(3, d.created);
        ins.bind(4, d.path);
        ins.step();
        ins.reset();
    }
}

void Executor::checkUserName(const std::string& name) {
    if (toLower(name).rfind(HiddenPrefix, 0) == 0) fail(208, "Invalid object name '" + name + "'.");
}

TableInfo Executor::requireTable(const std::string& name) const {
    checkUserName(name);
    auto t = catalog_->table(name);
    if (!t) fail(208, "Invalid object name '" + name + "'.");
    return *t;
}

}  // namespace standin

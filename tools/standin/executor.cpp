#include "executor.h"

#include "database_options.h"
#include "sql_translate.h"
#include "sqlite_db.h"
#include "tds_tokens.h"
#include "text_codec.h"

#include <algorithm>
#include <cstring>

namespace standin {
namespace {

// How long a session waits for another session's write lock.
constexpr int BusyTimeoutMs = 20000;

bool isWriteStatement(const StatementText& s) {
    const Token& head = s.at(0);
    if (head.is("insert") || head.is("update") || head.is("delete") || head.is("truncate")) return true;
    if ((head.is("create") || head.is("drop") || head.is("alter")) && s.has(1)) {
        return !s.at(1).is("database");
    }
    return false;
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

}  // namespace

std::string serverVersionText() {
    return std::string("Microsoft SQL Server 2012 - 11.0.2100.60 (X64) (dovrel-standin on SQLite ") +
           sqlite3_libversion() + ")";
}

Executor::Executor(DatabaseDirectory& directory, SessionInfo info)
    : directory_(directory), info_(std::move(info)) {
    functions_.login = info_.login;
    functions_.appName = info_.appName;
    functions_.hostName = info_.hostName;
    functions_.conversion.dates.setLanguage(info_.language ? *info_.language : usEnglish());
}

Executor::~Executor() { closeDatabase(); }

void Executor::closeDatabase() {
    if (db_ == nullptr) return;
    catalog_.reset();
    sqlite3_close_v2(db_);
    db_ = nullptr;
    directory_.release(database_);
}

std::optional<SqlMessage> Executor::open(const std::string& name) {
    const auto stored = directory_.find(name);
    if (!stored) {
        return sqlError(4060, "Cannot open database \"" + name + "\" requested by the login. The login failed.", 11);
    }
    sqlite3* db = nullptr;
    const std::string path = directory_.pathOf(*stored).string();
    int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        SqlMessage m = sqlError(4060, "Cannot open database \"" + name + "\": " + sqlite3_errmsg(db), 11);
        sqlite3_close_v2(db);
        return m;
    }
    try {
        sqlite3_busy_timeout(db, BusyTimeoutMs);
        // Names in double quotes are names, never string literals.
        sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
        sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
        execSql(db,
                "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA foreign_keys=ON;"
                " PRAGMA recursive_triggers=OFF;");
        Catalog(db).ensureSchema();
    } catch (const StatementError& e) {
        sqlite3_close_v2(db);
        return sqlError(4060, "Cannot open database \"" + name + "\": " + e.message.text, 11);
    }
    closeDatabase();
    db_ = db;
    database_ = *stored;
    functions_.database = database_;
    functions_.conversion.collation = &storedDatabaseCollation(db_);
    registerFunctions(db_, &functions_);
    catalog_.emplace(db_);
    directory_.acquire(database_);
    return std::nullopt;
}

std::vector<StatementOutcome> Executor::runBatch(const std::string& sql) {
    std::vector<StatementOutcome> out;
    std::vector<Token> tokens;
    try {
        tokens = tokenize(sql);
    } catch (const StatementError& e) {
        StatementOutcome o;
        o.failed = true;
        o.messages.push_back(e.message);
        out.push_back(std::move(o));
        lastError_ = e.message.number;
        return out;
    }
    const auto statements = splitStatements(tokens, {0, tokens.size()});
    bool first = true;
    for (const auto& range : statements) {
        runStatement(StatementText{tokens, range, sql}, first, out);
        first = false;
    }
    return out;
}

void Executor::runStatement(const StatementText& s, bool firstInBatch, std::vector<StatementOutcome>& out) {
    const ScopeGuard scope(*this, s);
    const Token& head = s.at(0);
    if (head.is("if") || head.is("while")) {
        runIf(s, out);
        return;
    }
    if (head.is("begin") && !(s.has(1) && (s.at(1).is("tran") || s.at(1).is("transaction") ||
                                           s.at(1).is("distributed")))) {
        runBlock(s, out);
        return;
    }
    StatementOutcome o;
    const bool writes = isWriteStatement(s);
    bool wrapped = false;
    bool ownTransaction = false;
    try {
        if (implicitTransactions_ && tranCount_ == 0 && startsImplicitTransaction(s)) beginTran(o);
        if (writes) {
            // Each statement is atomic: its own transaction, or a savepoint in the open one.
            ownTransaction = tranCount_ == 0;
            execSql(db_, ownTransaction ? "BEGIN IMMEDIATE" : "SAVEPOINT standin_statement");
            wrapped = true;
        }
        dispatch(s, firstInBatch, o, out);
        if (wrapped) execSql(db_, ownTransaction ? "COMMIT" : "RELEASE standin_statement");
        if (!o.failed) lastError_ = 0;
    } catch (const StatementError& e) {
        if (wrapped) {
            if (ownTransaction) {
                sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            } else if (!sqlite3_get_autocommit(db_)) {
                sqlite3_exec(db_, "ROLLBACK TO standin_statement; RELEASE standin_statement", nullptr, nullptr,
                             nullptr);
            }
        }
        if (tranCount_ > 0 && sqlite3_get_autocommit(db_)) {
            // SQLite gave the transaction up (a lock it could not get): so does the session.
            tranCount_ = 0;
            o.envChanges.push_back({env_type::RollbackTransaction, {}, transactionDescriptor(), true});
        }
        o.failed = true;
        o.result.reset();
        o.rowCount.reset();
        o.messages.push_back(e.message);
        lastError_ = e.message.number;
    }
    // Messages name the line of the batch the statement starts on.
    const auto line = static_cast<int32_t>(1 + std::count(s.source.begin(), s.source.begin() + static_cast<long>(head.begin), '\n'));
    for (auto& m : o.messages) m.line = line;
    out.push_back(std::move(o));
}

void Executor::dispatch(const StatementText& s, bool firstInBatch, StatementOutcome& o,
                        std::vector<StatementOutcome>& out) {
    (void)out;
    const Token& head = s.at(0);
    const bool second = s.has(1);
    if (head.is("select")) return runSelect(s, o);
    if (head.is("insert")) return runInsert(s, o);
    if (head.is("update")) return runUpdate(s, o);
    if (head.is("delete")) return runDelete(s, o);
    if (head.is("truncate")) return runTruncate(s, o);
    if (head.is("set")) return runSet(s, o);
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
        fail(50000, "The stand-in does not support this statement: " + s.text(0, std::min<size_t>(s.size(), 3)) + " ...");
    }
    if (head.kind == TokenKind::Word && isReservedWord(head.text)) {
        fail(156, "Incorrect syntax near the keyword '" + head.text + "'.", 15);
    }
    fail(102, "Incorrect syntax near '" + head.text + "'.", 15);
}

std::string Executor::translate(const StatementText& s) const {
    TranslateContext ctx;
    ctx.globalVariable = [this](const std::string& name) -> std::optional<std::string> {
        if (name == "@@version") return quoteText(serverVersionText());
        if (name == "@@spid") return std::to_string(info_.spid);
        if (name == "@@trancount") return std::to_string(tranCount_);
        if (name == "@@identity") return lastIdentity_ ? std::to_string(*lastIdentity_) : "NULL";
        if (name == "@@rowcount") return std::to_string(lastRowCount_);
        if (name == "@@error") return std::to_string(lastError_);
        if (name == "@@servername") return quoteText(info_.serverName);
        if (name == "@@language") return quoteText(language().name);
        if (name == "@@datefirst") return std::to_string(functions_.conversion.dates.dateFirst);
        if (name == "@@max_precision") return "38";
        if (name == "@@textsize") return "2147483647";
        if (name == "@@options") return "0";
        return std::nullopt;
    };
    addTypingTo(ctx);
    std::string sql = translateToSqlite(s, ctx);
    // SCOPE_IDENTITY() is the session's last identity as far as the stand-in goes.
    for (size_t pos; (pos = toLower(sql).find("scope_identity()")) != std::string::npos;) {
        sql.replace(pos, 16, lastIdentity_ ? std::to_string(*lastIdentity_) : "NULL");
    }
    return sql;
}

Value Executor::evaluate(const StatementText& expr) {
    Statement q(db_, "SELECT " + translate(expr));
    if (!q.step()) return Value::null();
    return q.column(0);
}

void Executor::refreshSysDatabases() {
    execSql(db_,
            "CREATE TEMP TABLE IF NOT EXISTS sysdatabases (name TEXT NOT NULL COLLATE NOCASE);"
            "DELETE FROM temp.sysdatabases;");
    Statement ins(db_, "INSERT INTO temp.sysdatabases (name) VALUES (?)");
    for (const auto& name : directory_.list()) {
        ins.bind(1, name);
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

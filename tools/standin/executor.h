#pragma once
// Runs the T-SQL batches of one session against its SQLite connection and
// describes what each statement produced: environment changes, messages,
// rows and a row count. A batch is checked whole before it runs (a syntax
// error runs nothing); then its statements run in turn, and an error ends
// the statement, the batch, or the batch and the transaction, as SQL
// Server's error classes do.
#include "catalog.h"
#include "conversions.h"
#include "database_directory.h"
#include "result_set.h"
#include "sql_error.h"
#include "sql_functions.h"
#include "sql_translate.h"
#include "sqlite_db.h"
#include "statement_text.h"
#include "undo_log.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

struct EnvChange {
    uint8_t type = 0;
    std::string newValue;
    std::string oldValue;
    bool binary = false;  // values are bytes (transactions), not text
};

struct StatementOutcome {
    std::vector<EnvChange> envChanges;
    std::vector<SqlMessage> messages;
    std::optional<ResultSet> result;
    uint16_t command = 0;
    std::optional<uint64_t> rowCount;
    bool failed = false;
    bool procedure = false;    // the statement ran a stored procedure
    bool inProcedure = false;  // a statement of a trigger body: DONEINPROC
};

struct SessionInfo {
    uint16_t spid = 51;
    std::string serverName;
    std::string login;
    std::string appName;
    std::string hostName;
    const Language* language = nullptr;  // the session's first language; us_english when null
};

// Why a batch stopped before its end, besides an error.
enum class Interruption { None, Attention, ClientGone };

struct BatchOutcome {
    std::vector<StatementOutcome> outcomes;
    Interruption interruption = Interruption::None;
};

// A parameter of a remote procedure call or EXEC.
struct ProcedureArgument {
    std::string name;  // "@table_name", or empty when given by position
    Value value;
};

// A T-SQL variable of the running batch or trigger.
struct Variable {
    SqlType type;
    Value value;
};

// How SQL Server ends work after an error: the statement alone, the rest of
// the batch, or the batch and the open transaction.
enum class ErrorScope { Statement, Batch, Transaction };

class Executor {
public:
    Executor(DatabaseDirectory& directory, SessionInfo info);
    ~Executor();
    Executor(const Executor&) = delete;
    Executor& operator=(const Executor&) = delete;

    // Opens `database` as the session's current database; the error SQL
    // Server gives when it does not exist (4060) otherwise.
    std::optional<SqlMessage> open(const std::string& database);
    const std::string& database() const { return database_; }

    // Asked between statements and while the session waits: did the client
    // send an attention, or go away?
    void setInterruptCheck(std::function<Interruption()> check) { interruptCheck_ = std::move(check); }

    BatchOutcome runBatch(const std::string& sql);
    // A remote procedure call (catalog procedures for ODBC).
    BatchOutcome runProcedureCall(const std::string& name, const std::vector<ProcedureArgument>& args);

    // The transaction manager requests of the protocol.
    StatementOutcome beginTransaction();
    StatementOutcome commitTransaction(bool beginNew);
    StatementOutcome rollbackTransaction(bool beginNew);
    int transactionCount() const { return tranCount_; }
    // Rolls back what the session left open (its client went away).
    void abandon();
    // The session's language, as @@LANGUAGE and the login reply name it.
    const Language& language() const { return *functions_.conversion.dates.language; }
    // The current database's collation, as the login reply and USE announce it.
    const Collation& collation() const { return *functions_.conversion.collation; }

    struct LockNeed {
        std::string table;  // lower case
        bool exclusive = false;
    };

private:
    enum class Isolation { ReadUncommitted, ReadCommitted, RepeatableRead, Serializable };

    // Runs one statement (with the blocks it contains), appending outcomes.
    void runStatement(const StatementText& s, bool firstInBatch, std::vector<StatementOutcome>& out);
    void runSimple(const StatementText& s, bool firstInBatch, std::vector<StatementOutcome>& out);
    void dispatch(const StatementText& s, bool firstInBatch, StatementOutcome& o, std::vector<StatementOutcome>& out);
    void handleFailure(const SqlMessage& error, StatementOutcome& o);
    ErrorScope scopeOf(const SqlMessage& error) const;

    // The whole batch checked before it runs: syntax, value counts, names
    // that SQLite resolves (exec_compile.cpp).
    std::optional<SqlMessage> compile(const std::vector<TokenRange>& statements, const std::vector<Token>& tokens,
                                      std::string_view sql);
    void compileStatement(const StatementText& s, bool firstInBatch, std::vector<std::string>& declared);
    void compileQuery(const StatementText& s, const std::vector<std::string>& declared);

    // Statement kinds, each in its own source file.
    void runSelect(const StatementText& s, StatementOutcome& o);
    void runInsert(const StatementText& s, StatementOutcome& o, std::vector<StatementOutcome>& out);
    void runUpdate(const StatementText& s, StatementOutcome& o, std::vector<StatementOutcome>& out);
    void runDelete(const StatementText& s, StatementOutcome& o, std::vector<StatementOutcome>& out);
    void runTruncate(const StatementText& s, StatementOutcome& o);
    void runCreateTable(const StatementText& s, StatementOutcome& o);
    void runDropTable(const StatementText& s, StatementOutcome& o);
    void runCreateIndex(const StatementText& s, StatementOutcome& o);
    void runDropIndex(const StatementText& s, StatementOutcome& o);
    void runCreateDatabase(const StatementText& s, StatementOutcome& o);
    void runDropDatabase(const StatementText& s, StatementOutcome& o);
    void runCreateTrigger(const StatementText& s, bool firstInBatch, StatementOutcome& o);
    void runDropTrigger(const StatementText& s, StatementOutcome& o);
    void runExec(const StatementText& s, StatementOutcome& o);
    void runSet(const StatementText& s, StatementOutcome& o);
    void setDateOption(const StatementText& s, StatementOutcome& o);
    void runUse(const StatementText& s, StatementOutcome& o);
    void runIf(const StatementText& s, std::vector<StatementOutcome>& out);
    void runBlock(const StatementText& s, std::vector<StatementOutcome>& out);
    void runTransactionStatement(const StatementText& s, StatementOutcome& o);
    void runPrint(const StatementText& s, StatementOutcome& o);
    void runDeclare(const StatementText& s, StatementOutcome& o);
    void runSetVariable(const StatementText& s, StatementOutcome& o);
    void runSelectAssign(const StatementText& s, StatementOutcome& o);
    void runRaiserror(const StatementText& s, StatementOutcome& o);
    void runDbcc(const StatementText& s, StatementOutcome& o);

    // System procedures (exec_procedures.cpp, exec_catalog.cpp).
    void runProcedure(const std::string& name, const std::vector<ProcedureArgument>& args, StatementOutcome& o);
    void helpTrigger(const std::string& table, StatementOutcome& o);
    void helpText(const std::string& name, StatementOutcome& o);
    void spColumns(const std::vector<ProcedureArgument>& args, StatementOutcome& o);
    void spTables(const std::vector<ProcedureArgument>& args, StatementOutcome& o);
    void spPkeys(const std::vector<ProcedureArgument>& args, StatementOutcome& o);

    // Triggers: run by the stand-in once per statement (exec_triggers.cpp).
    // `mark` is where the statement's row changes start in the recorder.
    void fireTriggers(const TableInfo& table, char event, size_t mark, std::vector<StatementOutcome>& out);
    void runTrigger(const TriggerInfo& trigger, const TableInfo& table, const std::vector<int64_t>& insertedRowids,
                    const std::vector<std::vector<Value>>& deletedRows, std::vector<StatementOutcome>& out);

    // Transactions (exec_transactions.cpp). The stand-in's transaction
    // spans SQLite write transactions, which last at most one batch.
    void beginTran(StatementOutcome& o);
    void commitTran(StatementOutcome& o);
    void rollbackTran(StatementOutcome& o);
    std::string transactionDescriptor() const;
    // Takes the database's writer turn and opens an SQLite write transaction;
    // an interruptible wait ends when the client gives up.
    void startWriting(bool interruptible = true);
    // Commits the SQLite write transaction (storing the undo records of an
    // open transaction with it) and gives the turn back.
    void finishWriting();
    // Undoes the open transaction's changes, stored or not.
    void undoTransaction();
    // Counters that an SQLite rollback took back are set again (identity
    // values are never handed out twice).
    void keepCounters();
    // Schema changes are undone by the statement that reverses them.
    void noteSchemaChange(std::string undoSql);
    // DROP TABLE inside a transaction only hides the table until the commit.
    void dropSqliteTable(const std::string& table);

    // A statement's savepoint, reused from statement to statement.
    void savepointStep(int kind, int depth);  // 0 SAVEPOINT, 1 RELEASE, 2 ROLLBACK TO (and RELEASE)

    // Locks (exec_locks.cpp).
    std::vector<LockNeed> locksFor(const StatementText& s);
    // The locks a write to `table` needs beyond its own: foreign keys, triggers.
    const std::vector<LockNeed>& writePlan(const std::string& table, bool removes);
    void addTriggerLocks(const std::string& table, std::vector<LockNeed>& needs, int depth);
    void takeLocks(const std::vector<LockNeed>& needs);
    void releaseStatementLocks();
    bool knownTable(const std::string& name);

    // Interruption: the client's attention or departure, seen between
    // statements, in lock waits and while SQLite runs (progress handler).
    Interruption pollInterrupt();
    [[noreturn]] void throwInterrupted();
    static int progressHandler(void* self);

    // SQLite text for T-SQL tokens (names, literals, functions, @@ values, variables).
    std::string translate(const StatementText& s) const;
    // Evaluates one T-SQL expression through SQLite.
    Value evaluate(const StatementText& expr);
    // The same, with the expression's type when it is known (exec_typing.cpp).
    SourceValue evaluateTyped(const StatementText& expr);

    // Types of columns and expressions where literals meet them (exec_typing.cpp).
    void addTypingTo(TranslateContext& ctx) const;
    std::optional<SqlType> columnTypeInScope(const std::string& column) const;
    std::optional<SqlType> expressionType(const StatementText& expr) const;
    std::optional<SqlType> arithmeticType(const StatementText& expr) const;
    std::string typedLiteral(const Token& literal, const SqlType& type) const;
    // A string literal's SQLite text: '...' holds only what the database's code page can.
    std::string stringLiteral(const Token& literal) const;
    const ConversionContext& conversionContext() const { return functions_.conversion; }
    // The statement now running: the tables it names give its columns' types.
    struct ScopeGuard {
        ScopeGuard(Executor& e, const StatementText& s) : executor(e), saved(e.scope_) { use(&s); }
        ~ScopeGuard() { use(saved); }
        ScopeGuard(const ScopeGuard&) = delete;
        ScopeGuard& operator=(const ScopeGuard&) = delete;
        void use(const StatementText* s) {
            executor.scope_ = s;
            executor.scopeColumns_.reset();
        }
        Executor& executor;
        const StatementText* saved;
    };
    const StatementText* scope_ = nullptr;
    mutable std::optional<std::map<std::string, SqlType>> scopeColumns_;
    // Rows of a translated query, typed from the catalogue where possible.
    ResultSet query(const std::string& sqliteSql, const StatementText& select);
    // Refreshes the per-session list of databases that SysDatabases shows.
    void refreshSysDatabases();
    void closeDatabase();
    // Rejects names of the hidden catalogue tables.
    static void checkUserName(const std::string& name);
    TableInfo requireTable(const std::string& name) const;
    Variable* findVariable(const std::string& name);
    int effectiveTranCount() const;
    // The batch line of a position in the current source.
    int32_t lineOf(const StatementText& s) const;

    DatabaseDirectory& directory_;
    SessionInfo info_;
    FunctionContext functions_;
    std::function<Interruption()> interruptCheck_;
    Interruption interruption_ = Interruption::None;
    std::chrono::steady_clock::time_point lastPoll_{};
    bool interruptibleQuery_ = false;  // a read-only query runs: SQLite may cut it short

    // Declared before the connection's users so that it is closed last.
    SqliteHandle connection_;
    sqlite3* db_ = nullptr;  // connection_, borrowed
    std::unique_ptr<ChangeRecorder> changes_;
    std::optional<Catalog> catalog_;
    std::shared_ptr<DatabaseState> shared_;
    std::string database_;

    // Transactions.
    int tranCount_ = 0;
    uint64_t transactionId_ = 0;
    int64_t undoKey_ = 0;      // this transaction's key in the stored undo records
    bool undoStored_ = false;  // some of its records are stored already
    bool writing_ = false;     // an SQLite write transaction is open
    int savepointDepth_ = 0;
    std::vector<std::string> dropOnCommit_;  // tables dropped inside the transaction (renamed until then)
    std::vector<std::string> heldShared_;    // shared locks of the running statement
    std::vector<std::unique_ptr<Statement>> savepointStatements_;  // 3 per depth
    std::map<std::string, std::vector<LockNeed>> writePlans_;
    uint64_t writePlansGeneration_ = 0;
    std::map<std::string, std::unique_ptr<Statement>> insertStatements_;  // by SQL text

    // Session options.
    bool implicitTransactions_ = false;
    bool noCount_ = false;
    bool xactAbort_ = false;
    Isolation isolation_ = Isolation::ReadCommitted;
    int lockTimeoutMs_ = -1;           // SET LOCK_TIMEOUT; -1 waits without end, as SQL Server's default
    std::string identityInsertTable_;  // the one table with IDENTITY_INSERT ON

    // The running batch.
    const std::vector<size_t>* lineStarts_ = nullptr;
    bool batchAborted_ = false;
    std::map<std::string, Variable>* variables_ = nullptr;
    int triggerDepth_ = 0;
    std::vector<TableInfo> firing_;  // tables whose triggers run, innermost last
    bool rollbackInTrigger_ = false;
    std::string procedureName_;  // the trigger running, for messages

    std::optional<int64_t> lastIdentity_;   // @@IDENTITY
    std::optional<int64_t> scopeIdentity_;  // SCOPE_IDENTITY()
    int64_t lastRowCount_ = 0;
    int lastError_ = 0;
};

// Whether SET knows the option (an unknown one is a compile error, 195).
bool isKnownSetOption(const std::string& lower);

// SQL Server's version string, also the first column of SELECT @@VERSION.
std::string serverVersionText();

}  // namespace standin

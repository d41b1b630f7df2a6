#pragma once
// Runs the T-SQL batches of one session against its SQLite connection and
// describes what each statement produced: environment changes, messages,
// rows and a row count. Statements of a batch run in turn; a failing one is
// reported and the next one still runs, as SQL Server does.
#include "catalog.h"
#include "conversions.h"
#include "database_directory.h"
#include "result_set.h"
#include "sql_functions.h"
#include "sql_error.h"
#include "sql_translate.h"
#include "statement_text.h"

#include <cstdint>
#include <map>
#include <optional>
#include <sqlite3.h>
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
    bool procedure = false;  // the statement ran a stored procedure
};

struct SessionInfo {
    uint16_t spid = 51;
    std::string serverName;
    std::string login;
    std::string appName;
    std::string hostName;
    const Language* language = nullptr;  // the session's first language; us_english when null
};

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

    std::vector<StatementOutcome> runBatch(const std::string& sql);

    // The transaction manager requests of the protocol.
    StatementOutcome beginTransaction();
    StatementOutcome commitTransaction(bool beginNew);
    StatementOutcome rollbackTransaction(bool beginNew);
    int transactionCount() const { return tranCount_; }
    // The session's language, as @@LANGUAGE and the login reply name it.
    const Language& language() const { return *functions_.conversion.dates.language; }
    // The current database's collation, as the login reply and USE announce it.
    const Collation& collation() const { return *functions_.conversion.collation; }

private:
    // Runs one statement (with the blocks it contains), appending outcomes.
    void runStatement(const StatementText& s, bool firstInBatch, std::vector<StatementOutcome>& out);
    void dispatch(const StatementText& s, bool firstInBatch, StatementOutcome& o, std::vector<StatementOutcome>& out);

    // Statement kinds, each in its own source file.
    void runSelect(const StatementText& s, StatementOutcome& o);
    void runInsert(const StatementText& s, StatementOutcome& o);
    void runUpdate(const StatementText& s, StatementOutcome& o);
    void runDelete(const StatementText& s, StatementOutcome& o);
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

    void helpTrigger(const std::string& table, StatementOutcome& o);
    void helpText(const std::string& name, StatementOutcome& o);

    // Transactions: @@TRANCOUNT bookkeeping around SQLite's transaction.
    void beginTran(StatementOutcome& o);
    void commitTran(StatementOutcome& o);
    void rollbackTran(StatementOutcome& o);
    std::string transactionDescriptor() const;

    // SQLite text for T-SQL tokens (names, literals, functions, @@ values).
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
    // Drops and re-creates the SQLite triggers that stand for `table`'s
    // T-SQL triggers (after the table's columns changed or a trigger came or went).
    void installTrigger(const TriggerInfo& t, const TableInfo& table);
    void removeSqliteTriggers(const std::string& triggerName);

    DatabaseDirectory& directory_;
    SessionInfo info_;
    FunctionContext functions_;
    sqlite3* db_ = nullptr;
    std::optional<Catalog> catalog_;
    std::string database_;
    int tranCount_ = 0;
    uint64_t transactionId_ = 0;
    bool implicitTransactions_ = false;
    bool noCount_ = false;
    std::string identityInsertTable_;  // the one table with IDENTITY_INSERT ON
    std::optional<int64_t> lastIdentity_;
    int64_t lastRowCount_ = 0;
    int lastError_ = 0;
};

// SQL Server's version string, also the first column of SELECT @@VERSION.
std::string serverVersionText();

}  // namespace standin

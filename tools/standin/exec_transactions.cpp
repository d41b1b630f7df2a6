// BEGIN TRAN / COMMIT / ROLLBACK, the protocol's transaction manager
// requests and @@TRANCOUNT. Only the outermost BEGIN and COMMIT reach
// SQLite; ROLLBACK always undoes the whole transaction, as in SQL Server.
#include "executor.h"
#include "sqlite_db.h"
#include "tds_tokens.h"

namespace standin {

std::string Executor::transactionDescriptor() const {
    std::string d(8, '\0');
    for (int k = 0; k < 8; ++k) d[static_cast<size_t>(k)] = static_cast<char>((transactionId_ >> (8 * k)) & 0xFF);
    return d;
}

void Executor::beginTran(StatementOutcome& o) {
    if (tranCount_ == 0) {
        // IMMEDIATE: the write lock is taken now, so that two sessions never
        // meet a lock conflict half-way through their transactions.
        execSql(db_, "BEGIN IMMEDIATE");
        ++transactionId_;
        o.envChanges.push_back({env_type::BeginTransaction, transactionDescriptor(), {}, true});
    }
    ++tranCount_;
}

void Executor::commitTran(StatementOutcome& o) {
    if (tranCount_ == 0) {
        fail(3902, "The COMMIT TRANSACTION request has no corresponding BEGIN TRANSACTION.");
    }
    if (tranCount_ == 1) {
        execSql(db_, "COMMIT");
        o.envChanges.push_back({env_type::CommitTransaction, {}, transactionDescriptor(), true});
    }
    --tranCount_;
}

void Executor::rollbackTran(StatementOutcome& o) {
    if (tranCount_ == 0) {
        fail(3903, "The ROLLBACK TRANSACTION request has no corresponding BEGIN TRANSACTION.");
    }
    if (!sqlite3_get_autocommit(db_)) execSql(db_, "ROLLBACK");
    tranCount_ = 0;
    o.envChanges.push_back({env_type::RollbackTransaction, {}, transactionDescriptor(), true});
}

void Executor::runTransactionStatement(const StatementText& s, StatementOutcome& o) {
    const Token& head = s.at(0);
    size_t k = 1;
    if (head.is("begin")) {
        if (s.has(k) && s.at(k).is("distributed")) ++k;
        if (!s.has(k) || !(s.at(k).is("tran") || s.at(k).is("transaction"))) {
            fail(102, "Incorrect syntax near 'BEGIN'.", 15);
        }
        ++k;
    } else if (head.is("save")) {
        fail(50000, "SAVE TRANSACTION is not supported by the stand-in.");
    } else if (s.has(k) && (s.at(k).is("tran") || s.at(k).is("transaction") || s.at(k).is("work"))) {
        ++k;
    }
    // An optional transaction name.
    if (s.has(k) && (s.at(k).isName() || s.at(k).kind == TokenKind::Variable)) ++k;
    if (s.has(k)) fail(102, "Incorrect syntax near '" + s.at(k).text + "'.", 15);
    if (head.is("begin")) beginTran(o);
    else if (head.is("commit")) commitTran(o);
    else rollbackTran(o);
}

namespace {

// Runs a transaction manager request, turning its failure into the reply.
template <typename Step>
StatementOutcome managerRequest(Step step) {
    StatementOutcome o;
    try {
        step(o);
    } catch (const StatementError& e) {
        o.failed = true;
        o.messages.push_back(e.message);
    }
    return o;
}

}  // namespace

StatementOutcome Executor::beginTransaction() {
    return managerRequest([&](StatementOutcome& o) { beginTran(o); });
}

StatementOutcome Executor::commitTransaction(bool beginNew) {
    return managerRequest([&](StatementOutcome& o) {
        if (tranCount_ > 0) {
            tranCount_ = 1;  // the request commits the whole transaction
            commitTran(o);
        }
        if (beginNew) beginTran(o);
    });
}

StatementOutcome Executor::rollbackTransaction(bool beginNew) {
    return managerRequest([&](StatementOutcome& o) {
        if (tranCount_ > 0) rollbackTran(o);
        if (beginNew) beginTran(o);
    });
}

}  // namespace standin

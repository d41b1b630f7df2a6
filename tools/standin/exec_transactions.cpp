// BEGIN TRAN / COMMIT / ROLLBACK, the protocol's transaction manager
// requests and @@TRANCOUNT. A transaction of the stand-in is not one of
// SQLite's: the session writes in SQLite transactions of at most one batch
// (SQLite lets one connection write at a time, and other sessions must be
// able to write to other tables meanwhile), keeps the undo records of an
// open transaction in the database beside its changes, and plays them back
// on ROLLBACK. Table locks keep other sessions off the changed tables.
#include "executor.h"
#include "tds_tokens.h"

#include <atomic>

namespace standin {
namespace {

// Keys of stored undo records, unique across sessions and restarts.
int64_t newUndoKey() {
    static std::atomic<int64_t> next{
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count()};
    return next++;
}

}  // namespace

std::string Executor::transactionDescriptor() const {
    std::string d(8, '\0');
    for (int k = 0; k < 8; ++k) d[static_cast<size_t>(k)] = static_cast<char>((transactionId_ >> (8 * k)) & 0xFF);
    return d;
}

void Executor::startWriting(bool interruptible) {
    if (writing_) return;
    const bool took = shared_->writer.take(
        info_.spid, [this, interruptible] { return interruptible && pollInterrupt() != Interruption::None; });
    if (!took) throwInterrupted();
    try {
        execSql(db_, "BEGIN IMMEDIATE");
    } catch (const StatementError&) {
        shared_->writer.give(info_.spid);
        throw;
    }
    writing_ = true;
    catalog_->reassertCounters();
}

void Executor::finishWriting() {
    if (!writing_) return;
    try {
        if (tranCount_ > 0 && changes_->size() > 0) {
            storeUndo(db_, undoKey_, changes_->changes(), 0, changes_->size());
            undoStored_ = true;
            changes_->clear();
        }
        execSql(db_, "COMMIT");
    } catch (const StatementError&) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        writing_ = false;
        savepointDepth_ = 0;
        changes_->clear();
        shared_->writer.give(info_.spid);
        throw;
    }
    catalog_->forgetCounters();
    writing_ = false;
    shared_->writer.give(info_.spid);
    // What statements outside a transaction changed is committed now: their locks end.
    if (tranCount_ == 0) shared_->locks.releaseAll(info_.spid);
}

void Executor::keepCounters() {
    if (writing_ && !sqlite3_get_autocommit(db_)) catalog_->reassertCounters();
}

void Executor::noteSchemaChange(std::string undoSql) { changes_->addUndoStatement(std::move(undoSql)); }

void Executor::dropSqliteTable(const std::string& table) {
    if (tranCount_ == 0) {
        execSql(db_, "DROP TABLE " + quoteName(table));
        return;
    }
    const std::string hidden =
        std::string(HiddenPrefix) + "_dropped_" + std::to_string(undoKey_) + "_" + std::to_string(dropOnCommit_.size());
    execSql(db_, "ALTER TABLE " + quoteName(table) + " RENAME TO " + quoteName(hidden));
    noteSchemaChange("ALTER TABLE " + quoteName(hidden) + " RENAME TO " + quoteName(table));
    dropOnCommit_.push_back(hidden);
}

void Executor::undoTransaction() {
    // Undoing must finish even when the client has gone.
    startWriting(false);
    changes_->pause(true);
    try {
        undoChanges(db_, changes_->changes(), 0, changes_->size());
        changes_->clear();
        if (undoStored_) undoStored(db_, undoKey_);
    } catch (const StatementError&) {
        changes_->pause(false);
        throw;
    }
    changes_->pause(false);
    catalog_->invalidate();
    undoStored_ = false;
    dropOnCommit_.clear();
    tranCount_ = 0;
    finishWriting();
}

void Executor::beginTran(StatementOutcome& o) {
    if (tranCount_ == 0) {
        ++transactionId_;
        undoKey_ = newUndoKey();
        undoStored_ = false;
        o.envChanges.push_back({env_type::BeginTransaction, transactionDescriptor(), {}, true});
    }
    ++tranCount_;
}

void Executor::commitTran(StatementOutcome& o) {
    if (effectiveTranCount() == 0) {
        fail(3902, "The COMMIT TRANSACTION request has no corresponding BEGIN TRANSACTION.");
    }
    if (tranCount_ > 1) {
        --tranCount_;
        return;
    }
    if (triggerDepth_ > 0)
        fail(50000, "COMMIT of the outermost transaction inside a trigger is not supported by the stand-in.");
    if (undoStored_ || !dropOnCommit_.empty()) startWriting(false);
    if (writing_) {
        if (undoStored_) forgetStored(db_, undoKey_);
        for (const auto& hidden : dropOnCommit_) execSql(db_, "DROP TABLE IF EXISTS " + quoteName(hidden));
        changes_->clear();
        tranCount_ = 0;
        // Committed means on disk, before the locks let others see it.
        finishWriting();
    }
    tranCount_ = 0;
    undoStored_ = false;
    dropOnCommit_.clear();
    shared_->locks.releaseAll(info_.spid);
    o.envChanges.push_back({env_type::CommitTransaction, {}, transactionDescriptor(), true});
}

void Executor::rollbackTran(StatementOutcome& o) {
    if (effectiveTranCount() == 0) {
        fail(3903, "The ROLLBACK TRANSACTION request has no corresponding BEGIN TRANSACTION.");
    }
    if (triggerDepth_ > 0) {
        // Undone with the statement that fired the trigger, which then ends the batch (3609).
        rollbackInTrigger_ = true;
        return;
    }
    undoTransaction();
    shared_->locks.releaseAll(info_.spid);
    o.envChanges.push_back({env_type::RollbackTransaction, {}, transactionDescriptor(), true});
}

void Executor::abandon() {
    if (!db_) return;
    try {
        if (tranCount_ > 0) undoTransaction();
        finishWriting();
    } catch (const StatementError&) {
        // What was not undone here is undone from the stored records at the next start.
        if (writing_) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            writing_ = false;
            shared_->writer.give(info_.spid);
        }
    }
    tranCount_ = 0;
    savepointDepth_ = 0;
    changes_->clear();
    shared_->locks.releaseAll(info_.spid);
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
    if (head.is("begin"))
        beginTran(o);
    else if (head.is("commit"))
        commitTran(o);
    else
        rollbackTran(o);
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

// Which tables a statement locks, and taking the locks. Writes lock their
// table exclusively until the transaction ends, together with the tables
// their triggers write and the tables whose rows a foreign key's cascade
// changes; reads take shared locks for the statement (to the end of the
// transaction under REPEATABLE READ and SERIALIZABLE), none under READ
// UNCOMMITTED or WITH (NOLOCK).
#include "executor.h"
#include "statement_tables.h"
#include "text_codec.h"
#include "trigger_text.h"

#include <algorithm>

namespace standin {
namespace {

constexpr int MaxTriggerNesting = 32;

void need(std::vector<Executor::LockNeed>& needs, const std::string& table, bool exclusive) {
    const std::string key = toLower(table);
    for (auto& n : needs) {
        if (n.table == key) {
            n.exclusive = n.exclusive || exclusive;
            return;
        }
    }
    needs.push_back({key, exclusive});
}

}  // namespace

bool Executor::knownTable(const std::string& name) {
    return !name.empty() && toLower(name).rfind(HiddenPrefix, 0) != 0 && catalog_->hasTable(name);
}

std::vector<Executor::LockNeed> Executor::locksFor(const StatementText& s) {
    std::vector<LockNeed> needs;
    const Token& head = s.at(0);
    // Schema statements: the table they change.
    if ((head.is("create") || head.is("drop")) && s.has(1)) {
        std::string table;
        if (s.at(1).is("table")) {
            if (head.is("create")) {
                readObjectName(s, 2, table);
                need(needs, table, true);
            } else {
                bool ifExists = false;
                for (size_t k = skipIfExists(s, 2, ifExists); s.has(k); ++k) {
                    if (s.at(k).isName() && knownTable(s.at(k).text)) need(needs, s.at(k).text, true);
                }
            }
        } else if (s.at(1).is("trigger") && head.is("drop")) {
            bool ifExists = false;
            for (size_t k = skipIfExists(s, 2, ifExists); s.has(k); ++k) {
                if (!s.at(k).isName()) continue;
                if (auto t = catalog_->trigger(s.at(k).text)) need(needs, t->table, true);
            }
        } else {
            // CREATE [UNIQUE] INDEX i ON t, CREATE TRIGGER x ON t, DROP INDEX t.i / i ON t
            for (size_t k = 2; s.has(k); ++k) {
                if (s.at(k).isName() && knownTable(s.at(k).text)) {
                    need(needs, s.at(k).text, true);
                    break;
                }
                if (s.at(k).is("as")) break;
            }
        }
        return needs;
    }
    if (!(head.is("select") || head.is("insert") || head.is("update") || head.is("delete") || head.is("truncate") ||
          head.is("set") || head.is("declare") || head.is("print") || head.is("if") || head.is("while"))) {
        return needs;
    }
    const StatementTables tables = tablesOf(s);
    if (!tables.written.empty()) {
        if (knownTable(tables.written)) {
            need(needs, tables.written, true);
        } else {
            // UPDATE alias SET ... FROM t alias: the alias stands for one of the read tables.
            for (const auto& t : tables.read) {
                if (knownTable(t)) need(needs, t, true);
            }
        }
    }
    if (isolation_ != Isolation::ReadUncommitted) {
        for (const auto& t : tables.read) {
            if (knownTable(t)) need(needs, t, false);
        }
    }
    if (!tables.written.empty() && knownTable(tables.written)) {
        for (const auto& n : writePlan(tables.written, !head.is("insert"))) need(needs, n.table, n.exclusive);
    }
    return needs;
}

const std::vector<Executor::LockNeed>& Executor::writePlan(const std::string& table, bool removes) {
    if (writePlansGeneration_ != catalog_->generation()) {
        writePlans_.clear();
        writePlansGeneration_ = catalog_->generation();
    }
    auto [it, added] = writePlans_.try_emplace(toLower(table) + (removes ? "|remove" : "|add"));
    if (!added) return it->second;
    auto& needs = it->second;
    // Foreign keys: the parent rows are read; a cascade changes the children.
    Statement parents(db_, "SELECT DISTINCT \"table\" FROM pragma_foreign_key_list(?)");
    parents.bind(1, table);
    while (parents.step()) need(needs, parents.columnText(0), false);
    if (removes) {
        Statement children(db_,
                           "SELECT DISTINCT m.name FROM sqlite_master m, pragma_foreign_key_list(m.name) f"
                           " WHERE m.type = 'table' AND f.\"table\" = ? COLLATE NOCASE");
        children.bind(1, table);
        while (children.step()) need(needs, children.columnText(0), true);
    }
    addTriggerLocks(table, needs, 0);
    return needs;
}

void Executor::addTriggerLocks(const std::string& table, std::vector<LockNeed>& needs, int depth) {
    if (depth >= MaxTriggerNesting) return;
    for (const auto& trigger : catalog_->triggersOf(table)) {
        const auto tokens = tokenize(trigger.definition);
        const StatementText whole{tokens, {0, tokens.size()}, trigger.definition};
        size_t bodyStart = 0;
        try {
            bodyStart = parseTriggerHeader(whole).bodyStart;
        } catch (const StatementError&) {
            continue;
        }
        // Every data statement of the body, inside IF and BEGIN ... END too.
        for (size_t k = bodyStart; k < tokens.size(); ++k) {
            const Token& t = tokens[k];
            if (!(t.is("insert") || t.is("update") || t.is("delete") || t.is("select") || t.is("truncate"))) continue;
            const StatementText st{tokens, {k, statementEnd(tokens, k, tokens.size())}, trigger.definition};
            const StatementTables used = tablesOf(st);
            const bool known = knownTable(used.written);
            const bool already = std::any_of(needs.begin(), needs.end(), [&](const LockNeed& n) {
                return n.exclusive && n.table == toLower(used.written);
            });
            if (known && !already) {
                need(needs, used.written, true);
                addTriggerLocks(used.written, needs, depth + 1);
            }
            for (const auto& r : used.read) {
                if (knownTable(r)) need(needs, r, false);
            }
        }
    }
}

void Executor::takeLocks(const std::vector<LockNeed>& needs) {
    auto& locks = shared_->locks;
    const int owner = info_.spid;
    auto mode = [](const LockNeed& n) { return n.exclusive ? LockMode::Exclusive : LockMode::Shared; };
    auto remember = [&](const LockNeed& n) {
        if (!n.exclusive) heldShared_.push_back(n.table);
    };
    size_t k = 0;
    for (; k < needs.size(); ++k) {
        if (!locks.tryAcquire(owner, needs[k].table, mode(needs[k]))) break;
        remember(needs[k]);
    }
    if (k == needs.size()) return;
    // About to wait: never while holding the writer turn, which the lock's holder may need.
    if (writing_) {
        if (savepointDepth_ > 0) fail(1222, "Lock request time out period exceeded.", 16, 51);
        finishWriting();
    }
    for (; k < needs.size(); ++k) {
        const LockResult r = locks.acquire(owner, needs[k].table, mode(needs[k]), lockTimeoutMs_,
                                           [this] { return pollInterrupt() != Interruption::None; });
        switch (r) {
        case LockResult::Granted: remember(needs[k]); break;
        case LockResult::TimedOut: fail(1222, "Lock request time out period exceeded.", 16, 51);
        case LockResult::Deadlock:
            fail(1205,
                 "Transaction (Process ID " + std::to_string(owner) +
                     ") was deadlocked on lock resources with another process and has been chosen as the "
                     "deadlock victim. Rerun the transaction.",
                 13, 51);
        case LockResult::Interrupted: throwInterrupted();
        }
    }
}

void Executor::releaseStatementLocks() {
    if (tranCount_ == 0 && !writing_) {
        shared_->locks.releaseAll(info_.spid);
    } else if (tranCount_ == 0 || isolation_ == Isolation::ReadCommitted || isolation_ == Isolation::ReadUncommitted) {
        // Exclusive locks of a statement outside a transaction last until SQLite commits it.
        for (const auto& t : heldShared_) shared_->locks.releaseShared(info_.spid, t);
    }
    heldShared_.clear();
}

}  // namespace standin

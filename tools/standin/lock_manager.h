#pragma once
// Table locks of one database, shared by its sessions. SQLite lets one
// connection write at a time, so the stand-in keeps SQL Server's locking
// itself: a writer holds an exclusive lock on each table it changed until its
// transaction ends, a reader under READ COMMITTED holds a shared lock for the
// length of its statement. Locks are per table, never per row.
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>

namespace standin {

enum class LockMode { Shared, Exclusive };
enum class LockResult { Granted, TimedOut, Deadlock, Interrupted };

class LockManager {
public:
    // Grants the lock when nobody else holds a conflicting one; never waits.
    bool tryAcquire(int owner, const std::string& table, LockMode mode);
    // Waits up to `timeoutMs` (negative: without end) for the lock. The wait
    // ends early when granting it could never happen (a deadlock: this
    // request is the victim) or when `interrupted` says the client gave up.
    LockResult acquire(int owner, const std::string& table, LockMode mode, int timeoutMs,
                       const std::function<bool()>& interrupted);
    // Gives back a shared lock (kept exclusive locks stay).
    void releaseShared(int owner, const std::string& table);
    void releaseAll(int owner);
    bool holds(int owner, const std::string& table, LockMode mode) const;
    // Whether another session waits for a lock this owner holds.
    bool othersWaitFor(int owner) const;

private:
    bool grantable(int owner, const std::string& table, LockMode mode) const;
    bool deadlocked(int owner, const std::string& table, LockMode mode) const;
    void grant(int owner, const std::string& table, LockMode mode);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    // table (lower case) -> owner -> mode
    std::unordered_map<std::string, std::map<int, LockMode>> held_;
    struct Wait {
        std::string table;
        LockMode mode;
    };
    std::map<int, Wait> waiting_;
};

}  // namespace standin

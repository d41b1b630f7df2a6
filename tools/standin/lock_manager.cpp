#include "lock_manager.h"

#include <chrono>
#include <set>
#include <vector>

namespace standin {
namespace {

constexpr std::chrono::milliseconds CheckInterval{25};

bool conflicts(LockMode a, LockMode b) { return a == LockMode::Exclusive || b == LockMode::Exclusive; }

}  // namespace

bool LockManager::grantable(int owner, const std::string& table, LockMode mode) const {
    const auto it = held_.find(table);
    if (it == held_.end()) return true;
    for (const auto& [other, theirs] : it->second) {
        if (other != owner && conflicts(mode, theirs)) return false;
    }
    return true;
}

void LockManager::grant(int owner, const std::string& table, LockMode mode) {
    auto& mine = held_[table][owner];
    if (mode == LockMode::Exclusive) mine = LockMode::Exclusive;  // a shared lock is upgraded, never downgraded
}

bool LockManager::deadlocked(int owner, const std::string& table, LockMode mode) const {
    // Follows "waits for" from this request: reaching the requester again is a cycle.
    std::vector<std::pair<std::string, LockMode>> pending{{table, mode}};
    std::vector<int> waiters{owner};
    std::set<int> seen;
    while (!pending.empty()) {
        const auto [t, m] = pending.back();
        const int waiter = waiters.back();
        pending.pop_back();
        waiters.pop_back();
        const auto it = held_.find(t);
        if (it == held_.end()) continue;
        for (const auto& [holder, theirs] : it->second) {
            if (holder == waiter || !conflicts(m, theirs)) continue;
            if (holder == owner) return true;
            if (!seen.insert(holder).second) continue;
            const auto w = waiting_.find(holder);
            if (w == waiting_.end()) continue;
            pending.emplace_back(w->second.table, w->second.mode);
            waiters.push_back(holder);
        }
    }
    return false;
}

bool LockManager::tryAcquire(int owner, const std::string& table, LockMode mode) {
    std::lock_guard lock(mutex_);
    if (!grantable(owner, table, mode)) return false;
    grant(owner, table, mode);
    return true;
}

LockResult LockManager::acquire(int owner, const std::string& table, LockMode mode, int timeoutMs,
                                const std::function<bool()>& interrupted) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    std::unique_lock lock(mutex_);
    for (;;) {
        if (grantable(owner, table, mode)) {
            waiting_.erase(owner);
            grant(owner, table, mode);
            return LockResult::Granted;
        }
        if (deadlocked(owner, table, mode)) {
            waiting_.erase(owner);
            return LockResult::Deadlock;
        }
        if (timeoutMs >= 0 && Clock::now() >= deadline) {
            waiting_.erase(owner);
            return LockResult::TimedOut;
        }
        waiting_[owner] = Wait{table, mode};
        lock.unlock();
        const bool stop = interrupted && interrupted();
        lock.lock();
        if (stop) {
            waiting_.erase(owner);
            return LockResult::Interrupted;
        }
        auto until = Clock::now() + CheckInterval;
        if (timeoutMs >= 0 && deadline < until) until = deadline;
        changed_.wait_until(lock, until);
    }
}

void LockManager::releaseShared(int owner, const std::string& table) {
    std::lock_guard lock(mutex_);
    const auto it = held_.find(table);
    if (it == held_.end()) return;
    const auto mine = it->second.find(owner);
    if (mine == it->second.end() || mine->second != LockMode::Shared) return;
    it->second.erase(mine);
    if (it->second.empty()) held_.erase(it);
    changed_.notify_all();
}

void LockManager::releaseAll(int owner) {
    std::lock_guard lock(mutex_);
    for (auto it = held_.begin(); it != held_.end();) {
        it->second.erase(owner);
        it = it->second.empty() ? held_.erase(it) : std::next(it);
    }
    waiting_.erase(owner);
    changed_.notify_all();
}

bool LockManager::othersWaitFor(int owner) const {
    std::lock_guard lock(mutex_);
    for (const auto& [waiter, wait] : waiting_) {
        if (waiter == owner) continue;
        const auto it = held_.find(wait.table);
        if (it == held_.end()) continue;
        const auto mine = it->second.find(owner);
        if (mine != it->second.end() && conflicts(wait.mode, mine->second)) return true;
    }
    return false;
}

bool LockManager::holds(int owner, const std::string& table, LockMode mode) const {
    std::lock_guard lock(mutex_);
    const auto it = held_.find(table);
    if (it == held_.end()) return false;
    const auto mine = it->second.find(owner);
    return mine != it->second.end() && (mine->second == LockMode::Exclusive || mode == LockMode::Shared);
}

}  // namespace standin

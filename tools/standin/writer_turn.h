#pragma once
// SQLite lets one connection of a database write at a time. Sessions take
// this turn, first come first served, around their SQLite write
// transactions, which last one statement or a few; a session never waits for
// a table lock while it holds the turn, so the two kinds of waiting cannot
// block each other.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace standin {

class WriterTurn {
public:
    // False when `interrupted` said the client gave up while waiting.
    bool take(int owner, const std::function<bool()>& interrupted);
    void give(int owner);
    // Whether another session waits for the turn.
    bool othersWaiting() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    int holder_ = -1;
    std::deque<int> queue_;
};

}  // namespace standin

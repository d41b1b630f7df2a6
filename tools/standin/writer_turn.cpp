#include "writer_turn.h"

#include <algorithm>
#include <chrono>

namespace standin {

bool WriterTurn::take(int owner, const std::function<bool()>& interrupted) {
    std::unique_lock lock(mutex_);
    queue_.push_back(owner);
    for (;;) {
        if (holder_ < 0 && queue_.front() == owner) {
            queue_.pop_front();
            holder_ = owner;
            return true;
        }
        changed_.wait_for(lock, std::chrono::milliseconds(25));
        if (holder_ >= 0 || queue_.front() != owner) {
            lock.unlock();
            const bool stop = interrupted && interrupted();
            lock.lock();
            if (stop) {
                queue_.erase(std::find(queue_.begin(), queue_.end(), owner));
                changed_.notify_all();
                return false;
            }
        }
    }
}

void WriterTurn::give(int owner) {
    std::lock_guard lock(mutex_);
    if (holder_ == owner) holder_ = -1;
    changed_.notify_all();
}

bool WriterTurn::othersWaiting() const {
    std::lock_guard lock(mutex_);
    return !queue_.empty();
}

}  // namespace standin

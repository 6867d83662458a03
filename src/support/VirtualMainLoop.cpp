#include "support/VirtualMainLoop.hpp"

#include <algorithm>

namespace joywright {

VirtualMainLoop::VirtualMainLoop()
    : now_(TimePoint{} + std::chrono::hours(1)), mainThread_(std::this_thread::get_id()) {}

void VirtualMainLoop::post(std::function<void()> task) {
    std::lock_guard lock(postedMutex_);
    posted_.push_back(std::move(task));
}

TaskHandle VirtualMainLoop::schedule(Duration delay, std::function<void()> task) {
    auto state = std::make_shared<TaskHandle::State>();
    const auto due = now_ + std::max(delay, Duration::zero());
    scheduled_.emplace(std::pair{due, sequence_++}, Scheduled{state, std::move(task)});
    return TaskHandle(std::move(state));
}

std::size_t VirtualMainLoop::runPosted() {
    std::size_t ran = 0;
    for (;;) {
        std::function<void()> task;
        {
            std::lock_guard lock(postedMutex_);
            if (posted_.empty()) break;
            task = std::move(posted_.front());
            posted_.pop_front();
        }
        task();
        ++ran;
    }
    return ran;
}

void VirtualMainLoop::advance(Duration d) {
    const auto end = now_ + std::max(d, Duration::zero());
    runPosted();
    for (;;) {
        auto next = scheduled_.begin();
        if (next == scheduled_.end() || next->first.first > end) break;
        auto item = std::move(next->second);
        now_ = std::max(now_, next->first.first);
        scheduled_.erase(next);
        if (!item.state->cancelled.load()) item.task();
        runPosted();
    }
    now_ = end;
}

std::size_t VirtualMainLoop::pendingCount() const {
    return static_cast<std::size_t>(
        std::count_if(scheduled_.begin(), scheduled_.end(),
                      [](const auto& entry) { return !entry.second.state->cancelled.load(); }));
}

}  // namespace joywright

#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

#include "support/MainLoop.hpp"

namespace joywright {

// A main loop whose clock moves only when told to, for tests: `advance(d)` runs every task due
// within d in time order, each with `now()` set to its due time. The thread that creates the loop
// is its main thread.
class VirtualMainLoop final : public MainLoop {
public:
    VirtualMainLoop();

    void post(std::function<void()> task) override;
    [[nodiscard]] TaskHandle schedule(Duration delay, std::function<void()> task) override;
    TimePoint now() const override { return now_; }
    bool isMainThread() const override { return std::this_thread::get_id() == mainThread_; }

    // Runs posted tasks, then scheduled tasks due up to now + d (and tasks they post or schedule
    // inside that window), then leaves the clock at now + d.
    void advance(Duration d);
    void advance(double secondsToAdvance) { advance(seconds(secondsToAdvance)); }

    // Runs the tasks posted so far (and those they post) without moving the clock; returns how
    // many ran.
    std::size_t runPosted();

    // Scheduled tasks not yet run or cancelled.
    std::size_t pendingCount() const;

private:
    struct Scheduled {
        std::shared_ptr<TaskHandle::State> state;
        std::function<void()> task;
    };

    TimePoint now_;
    std::thread::id mainThread_;
    mutable std::mutex postedMutex_;
    std::deque<std::function<void()>> posted_;
    std::multimap<std::pair<TimePoint, std::uint64_t>, Scheduled> scheduled_;
    std::uint64_t sequence_ = 0;
};

}  // namespace joywright

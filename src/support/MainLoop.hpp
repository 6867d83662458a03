#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

namespace joywright {

// A task scheduled on the main loop. Destroying or resetting the handle cancels the task, so a
// task never outlives the object that owns its handle. Move-only; main thread only.
class TaskHandle {
public:
    struct State {
        std::atomic<bool> cancelled{false};
    };

    TaskHandle() = default;
    explicit TaskHandle(std::shared_ptr<State> state) : state_(std::move(state)) {}
    ~TaskHandle() { cancel(); }

    TaskHandle(TaskHandle&&) noexcept = default;
    TaskHandle& operator=(TaskHandle&& other) noexcept {
        if (this != &other) {
            cancel();
            state_ = std::move(other.state_);
        }
        return *this;
    }
    TaskHandle(const TaskHandle&) = delete;
    TaskHandle& operator=(const TaskHandle&) = delete;

    void cancel() {
        if (state_) state_->cancelled.store(true);
        state_.reset();
    }
    explicit operator bool() const { return state_ != nullptr; }

private:
    std::shared_ptr<State> state_;
};

// The one main thread's loop. Everything but `post` is called on the main thread.
class MainLoop {
public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;
    using Duration = Clock::duration;

    virtual ~MainLoop() = default;

    // Runs `task` on the main thread soon, after tasks posted before it. Any thread.
    virtual void post(std::function<void()> task) = 0;

    // Runs `task` once on the main thread when `delay` has passed, unless the handle is cancelled
    // or destroyed first. Tasks due at the same time run in the order they were scheduled.
    [[nodiscard]] virtual TaskHandle schedule(Duration delay, std::function<void()> task) = 0;

    // Monotonic time.
    virtual TimePoint now() const = 0;

    // True on the thread that runs this loop's tasks. Any thread.
    virtual bool isMainThread() const = 0;
};

// Seconds as a loop duration: schedule(seconds(0.3), ...).
inline MainLoop::Duration seconds(double s) {
    return std::chrono::duration_cast<MainLoop::Duration>(std::chrono::duration<double>(s));
}

}  // namespace joywright

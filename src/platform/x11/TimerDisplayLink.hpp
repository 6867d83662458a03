#pragma once

#include <functional>
#include <memory>

#include "engine/Display.hpp"
#include "support/MainLoop.hpp"

namespace joywright {

// A display link made of a precise main-loop timer: it ticks at the screen's refresh rate or
// 250 Hz, whichever is higher (so a key press waits at most 4 ms for its tick), and at most
// 1000 Hz. deltaTime is the measured monotonic time since the previous tick (since start() for
// the first), so a stall or a suspend shows as one long frame. Ticks keep a steady cadence: a
// late tick does not delay the next deadline, and after falling more than a period behind the
// cadence starts afresh instead of catching up in a burst. Main thread only.
class TimerDisplayLink final : public DisplayLink {
public:
    static constexpr double kMinimumRate = 250;   // Hz
    static constexpr double kMaximumRate = 1000;  // Hz

    struct Hooks {
        // At the start of each tick, before the engine's callback (controllers are pumped here).
        std::function<void()> beforeTick;
        // At the end of each tick, also when the callback stopped the link (output is sent here).
        std::function<void()> afterTick;
    };

    TimerDisplayLink(MainLoop& loop, double refreshRate, Hooks hooks = {});
    ~TimerDisplayLink() override;

    // Starts ticking (restarting if already started). The link may be stopped or destroyed from
    // inside `onTick` or the hooks.
    void start(std::function<void(double deltaTime)> onTick) override;
    void stop() override;

    // Ticks per second.
    double rate() const { return rate_; }
    bool isRunning() const { return state_ != nullptr && state_->running; }

private:
    struct State {
        bool running = true;
        std::function<void(double)> onTick;
        Hooks hooks;
    };

    void fire();

    MainLoop& loop_;
    double rate_;
    MainLoop::Duration period_;
    Hooks hooks_;
    std::shared_ptr<State> state_;
    MainLoop::TimePoint lastTick_{};
    MainLoop::TimePoint nextDeadline_{};
    TaskHandle timer_;
};

}  // namespace joywright

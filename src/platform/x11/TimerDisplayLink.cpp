#include "platform/x11/TimerDisplayLink.hpp"

#include <algorithm>
#include <cmath>

namespace joywright {

namespace {

double tickRate(double refreshRate) {
    if (!std::isfinite(refreshRate)) return TimerDisplayLink::kMinimumRate;
    return std::clamp(refreshRate, TimerDisplayLink::kMinimumRate, TimerDisplayLink::kMaximumRate);
}

}  // namespace

TimerDisplayLink::TimerDisplayLink(MainLoop& loop, double refreshRate, Hooks hooks)
    : loop_(loop),
      rate_(tickRate(refreshRate)),
      period_(seconds(1.0 / rate_)),
      hooks_(std::move(hooks)) {}

TimerDisplayLink::~TimerDisplayLink() {
    stop();
}

void TimerDisplayLink::start(std::function<void(double deltaTime)> onTick) {
    stop();
    // A fresh state, so a tick in progress that belongs to an earlier start sees it stopped.
    state_ = std::make_shared<State>(
        State{.running = true, .onTick = std::move(onTick), .hooks = hooks_});
    lastTick_ = loop_.now();
    nextDeadline_ = lastTick_ + period_;
    timer_ = loop_.schedule(period_, [this] { fire(); });
}

void TimerDisplayLink::stop() {
    if (state_) state_->running = false;
    state_.reset();
    timer_.cancel();
}

void TimerDisplayLink::fire() {
    const auto now = loop_.now();
    const double deltaTime = std::chrono::duration<double>(now - lastTick_).count();
    lastTick_ = now;
    nextDeadline_ += period_;
    if (nextDeadline_ <= now) nextDeadline_ = now + period_;
    timer_ = loop_.schedule(nextDeadline_ - now, [this] { fire(); });

    // From here on `this` may be destroyed by the callbacks; only `state` is used.
    const std::shared_ptr<State> state = state_;
    if (!state) return;
    if (state->hooks.beforeTick) state->hooks.beforeTick();
    if (state->running) state->onTick(deltaTime);
    if (state->hooks.afterTick) state->hooks.afterTick();
}

}  // namespace joywright

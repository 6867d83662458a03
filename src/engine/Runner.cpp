#include "engine/Runner.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>
#include <variant>

#include "support/Log.hpp"

namespace joywright {

namespace {

// Cursor bounds along one axis of a screen: min ... max - 1. A screen narrower than one point
// gives the single value min rather than an empty range.
ClosedRange axisBounds(double min, double max) {
    return {min, std::max(min, max - 1)};
}

// Whole scroll pixels towards zero, as a 32-bit wheel count; saturates instead of overflowing.
std::int32_t wholePixels(double v) {
    constexpr double limit = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(std::trunc(v), -limit, limit));
}

}  // namespace

Runner::Runner(EventSynthesizer& synthesizer, Display& display)
    : Runner(synthesizer, display, display.systemTiming()) {}

Runner::Runner(EventSynthesizer& synthesizer, Display& display, const SystemTiming& timing)
    : synthesizer_(synthesizer),
      display_(display),
      clickCounter_(timing.doubleClickInterval),
      keyRepeatScheduler_(timing.keyRepeatDelay, timing.keyRepeatInterval) {
    mouseCurrentPos_ = mouseTargetPos_ = currentCursorPosition();
    drained_.reserve(Frame::kReservedCapacity);
    dueKeys_.reserve(kKeyCodeCount);
}

Runner::~Runner() {
    stop();
}

Point Runner::currentCursorPosition() {
    return display_.cursorPosition().value_or(Point{});
}

void Runner::start() {
    if (isRunning_) return;
    elapsed_ = 0;
    const auto cursor = display_.cursorPosition();
    mouseCurrentPos_ = mouseTargetPos_ = cursor.value_or(Point{});

    const auto screens = display_.screens();
    auto screen = screens.begin();
    if (cursor) {
        auto containing = std::find_if(screens.begin(), screens.end(),
                                       [&](const Screen& s) { return s.frame.contains(*cursor); });
        if (containing != screens.end()) screen = containing;
    }
    if (screen == screens.end()) {
        JW_LOG_ERROR(runner, "No screen to run on; the mapping does not start");
        return;
    }

    // Taken once per start, unchanged while running.
    width_ = axisBounds(screen->frame.minX(), screen->frame.maxX());
    height_ = axisBounds(screen->frame.minY(), screen->frame.maxY());

    displayLink_ = display_.makeDisplayLink(*screen);
    if (displayLink_) {
        displayLink_->start([this](double deltaTime) { tick(deltaTime); });
    } else {
        JW_LOG_ERROR(runner, "No display link for the screen; instructions will not be applied");
    }

    isRunning_ = true;
    frame_.setListening(true);
}

void Runner::stop() {
    if (!isRunning_) return;
    if (displayLink_) displayLink_->stop();
    displayLink_.reset();
    isRunning_ = false;
    frame_.setListening(false);
    reset();
}

void Runner::reset() {
    releaseAll();
    frame_.clear();
    heldKeys_.removeAll();
    keyRepeatScheduler_.removeAll();
    dragging_.removeAll();
    modifiers_.removeAll();
    clickCounter_.reset();
    mouseVector_ = {};
    scrollVector_ = {};
    scrollAccumulator_ = {};
    relativeMouseAccumulator_ = {};
    hSpeed_.reset();
    vSpeed_.reset();
}

void Runner::releaseAll() {
    const ModifierSet held = activeSet(modifiers_);
    for (KeyCode key : heldKeys_.activeKeys())
        synthesizer_.postKey(key, {}, {}, held, false);
    if (!held.empty()) synthesizer_.postKey(std::nullopt, held, {}, {}, false);

    mouseCurrentPos_ = mouseTargetPos_ = currentCursorPosition();
    for (const auto& button : dragging_.buttons())
        synthesizer_.postMouseButton(button, false, 0, mouseCurrentPos_);
}

void Runner::tick(double deltaTime) {
    // Not a positive, finite duration: nothing to do (NaN and infinity included, which would
    // otherwise poison the engine clock for good).
    if (!isRunning_ || !(deltaTime > 0) || !std::isfinite(deltaTime)) return;
    elapsed_ += deltaTime;

    if (deltaTime > discontinuityDeltaThreshold) {
        mouseCurrentPos_ = mouseTargetPos_ = currentCursorPosition();
        scrollAccumulator_ = {};
        relativeMouseAccumulator_ = {};
        keyRepeatScheduler_.restartAll(elapsed_);
        JW_LOG_ERROR(runner, "Ignoring large deltaTime %.*fs (> %.*fs)", 3, deltaTime, 3,
                     discontinuityDeltaThreshold);
        return;
    }

    const double dt = std::min(deltaTime, maxMotionDelta);

    frame_.drain(drained_);
    for (const auto& input : drained_)
        apply(input);

    postDueRepeats();
    moveMouse(dt);
    scroll(dt);
}

void Runner::apply(const FrameInput& input) {
    namespace fi = frame_input;
    std::visit(
        [this](const auto& in) {
            using T = std::decay_t<decltype(in)>;
            if constexpr (std::is_same_v<T, fi::KeyDown>) {
                keyDown(in.combo);
            } else if constexpr (std::is_same_v<T, fi::KeyUp>) {
                keyUp(in.combo);
            } else if constexpr (std::is_same_v<T, fi::MouseDown>) {
                mouseDown(in.button);
            } else if constexpr (std::is_same_v<T, fi::MouseUp>) {
                mouseUp(in.button);
            } else if constexpr (std::is_same_v<T, fi::SetMouseDX>) {
                mouseVector_.dx = in.magnitude;
                hSpeed_ = in.speed;
            } else if constexpr (std::is_same_v<T, fi::SetMouseDY>) {
                mouseVector_.dy = in.magnitude;
                vSpeed_ = in.speed;
            } else if constexpr (std::is_same_v<T, fi::SetScrollDX>) {
                scrollVector_.dx = in.velocity;
            } else if constexpr (std::is_same_v<T, fi::SetScrollDY>) {
                scrollVector_.dy = in.velocity;
            } else if constexpr (std::is_same_v<T, fi::ScrollNotch>) {
                synthesizer_.postScrollNotch(in.wheel1, in.wheel2);
            } else if constexpr (std::is_same_v<T, fi::ResetMouseDX>) {
                mouseVector_.dx = 0;
            } else if constexpr (std::is_same_v<T, fi::ResetMouseDY>) {
                mouseVector_.dy = 0;
            } else if constexpr (std::is_same_v<T, fi::ResetScrollDX>) {
                scrollVector_.dx = 0;
                scrollAccumulator_.dx = 0;
            } else if constexpr (std::is_same_v<T, fi::ResetScrollDY>) {
                scrollVector_.dy = 0;
                scrollAccumulator_.dy = 0;
            } else {
                static_assert(std::is_same_v<T, void>, "every instruction is applied");
            }
        },
        input);
}

// A key-down is posted on every press, also when the key is already held through another input;
// only the modifiers that have just become held get their own down events.
void Runner::keyDown(const KeyCombo& combo) {
    if (combo.key) {
        const bool first = heldKeys_.increment(*combo.key);
        if (first && !isSystemKey(*combo.key)) keyRepeatScheduler_.keyPressed(*combo.key, elapsed_);
    }
    const ModifierSet before = activeSet(modifiers_);
    for (auto m : combo.modifiers)
        modifiers_.increment(m);
    const ModifierSet after = activeSet(modifiers_);
    synthesizer_.postKey(combo.key, before.subtracting(after), after.subtracting(before), after,
                         true);
}

// The key goes up only when its last holder lets go; modifiers go up when no input needs them.
void Runner::keyUp(const KeyCombo& combo) {
    bool post = true;
    if (combo.key) {
        post = heldKeys_.decrement(*combo.key);
        if (post) keyRepeatScheduler_.keyReleased(*combo.key);
    }
    const ModifierSet before = activeSet(modifiers_);
    for (auto m : combo.modifiers)
        modifiers_.decrement(m);
    const ModifierSet after = activeSet(modifiers_);
    const ModifierSet released = before.subtracting(after);
    const ModifierSet pressed = after.subtracting(before);
    if (post) {
        synthesizer_.postKey(combo.key, released, pressed, after, false);
    } else if (before != after) {
        synthesizer_.postKey(std::nullopt, released, pressed, after, false);
    }
}

void Runner::postDueRepeats() {
    keyRepeatScheduler_.dueKeys(elapsed_, dueKeys_);
    if (dueKeys_.empty()) return;
    const ModifierSet held = activeSet(modifiers_);
    for (KeyCode key : dueKeys_)
        synthesizer_.postKeyRepeat(key, held);
}

void Runner::mouseDown(const MouseButton& button) {
    const Point loc = currentCursorPosition();
    mouseCurrentPos_ = mouseTargetPos_ = loc;
    dragging_.add(button);
    const int count = clickCounter_.press(button, loc, elapsed_);
    synthesizer_.postMouseButton(button, true, count, loc);
    JW_LOG_DEBUG(input, "Mouse clicks: %ld", static_cast<long>(count));
}

void Runner::mouseUp(const MouseButton& button) {
    const Point loc = currentCursorPosition();
    mouseCurrentPos_ = mouseTargetPos_ = loc;
    dragging_.remove(button);
    synthesizer_.postMouseButton(button, false, clickCounter_.count(), loc);
}

// Full deflection moves dt * hSpeed horizontally and dt * vSpeed vertically; in between, the
// full-deflection step lies on the ellipse with those half-axes, scaled by the response curve.
void Runner::moveMouse(double dt) {
    if (mouseVector_ == Vector{}) return;
    const double m = std::hypot(mouseVector_.dx, mouseVector_.dy);
    if (!std::isfinite(m)) return;
    const double ux = mouseVector_.dx / m;
    const double uy = mouseVector_.dy / m;
    const double shaped = responseCurve_.evaluate(m);

    // A component with no travel contributes nothing, whatever its speed (no 0/0 for a zero
    // speed); a zero speed on a moving axis stops the motion.
    const double a = (hSpeed_ && ux != 0) ? ux / (dt * *hSpeed_) : 0;
    const double b = (vSpeed_ && uy != 0) ? uy / (dt * *vSpeed_) : 0;
    const double h = std::hypot(a, b);
    const Vector step =
        (h == 0 || !std::isfinite(h)) ? Vector{} : Vector{ux * shaped / h, uy * shaped / h};

    Point loc = currentCursorPosition();
    // A cursor with whole-point resolution reports the last target rounded. Unless something
    // else moved it, continue from the exact last target so that sub-point steps add up and the
    // pointer travels equally far per second at any refresh rate.
    if (std::abs(loc.x - mouseTargetPos_.x) <= 0.5 && std::abs(loc.y - mouseTargetPos_.y) <= 0.5)
        loc = mouseTargetPos_;
    mouseCurrentPos_ = loc;
    const Point target{width_.clamp(loc.x + step.dx), height_.clamp(loc.y + step.dy)};
    mouseTargetPos_ = target;

    const Vector delta{target.x - loc.x, target.y - loc.y};
    if (delta != Vector{}) {
        if (useRelativeMouse_) {
            const Vector r{delta.dx + relativeMouseAccumulator_.dx,
                           delta.dy + relativeMouseAccumulator_.dy};
            const double ix = std::trunc(r.dx);
            const double iy = std::trunc(r.dy);
            relativeMouseAccumulator_ = {r.dx - ix, r.dy - iy};
            if (ix != 0 || iy != 0)
                synthesizer_.postRelativeMouseMove(static_cast<int>(ix), static_cast<int>(iy));
        } else {
            synthesizer_.postMouseMove(target, dragging_.dragButton());
        }
    }
    mouseCurrentPos_ = mouseTargetPos_;
}

// Signed fractional remainders carry over, so slow scrolling still moves; the wheel counts are
// negated because positive wheel values scroll up and left.
void Runner::scroll(double dt) {
    if (scrollVector_ == Vector{}) return;
    const Vector v{dt * scrollVector_.dx + scrollAccumulator_.dx,
                   dt * scrollVector_.dy + scrollAccumulator_.dy};
    if (!std::isfinite(v.dx) || !std::isfinite(v.dy)) {
        scrollAccumulator_ = {};
        return;
    }
    const std::int32_t wheel1 = -wholePixels(v.dy);
    const std::int32_t wheel2 = -wholePixels(v.dx);
    scrollAccumulator_ = {v.dx - std::trunc(v.dx), v.dy - std::trunc(v.dy)};
    if (wheel1 != 0 || wheel2 != 0) synthesizer_.postScroll(wheel1, wheel2);
}

}  // namespace joywright

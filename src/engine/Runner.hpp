#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "engine/ClickCounter.hpp"
#include "engine/Display.hpp"
#include "engine/DraggedMouseButtons.hpp"
#include "engine/EventSynthesizer.hpp"
#include "engine/Frame.hpp"
#include "engine/FrameInput.hpp"
#include "engine/Geometry.hpp"
#include "engine/KeyRepeatScheduler.hpp"
#include "engine/ReferenceCounter.hpp"
#include "engine/ResponseCurve.hpp"
#include "engine/RunnerControlling.hpp"
#include "model/KeyCode.hpp"
#include "model/ModifierKey.hpp"

namespace joywright {

// The output engine. While running, a display link calls tick() once per display refresh: it
// drains the frame, applies the instructions in order (key presses with shared hold counts, mouse
// buttons with click counting, stick and scroll vectors), posts key auto-repeats, moves the
// cursor along the stick vector and scrolls by the scroll velocity. Everything is posted through
// the EventSynthesizer. stop() and reset() release every key, modifier and button the engine
// holds, so nothing is left held.
//
// Main thread only, except frame().append, which any thread may call. A warm tick allocates
// nothing: the frame drains into a member vector and all bookkeeping is fixed-size.
class Runner final : public RunnerControlling {
public:
    // Frame durations above this many seconds are a time discontinuity: nothing moves that tick.
    static constexpr double discontinuityDeltaThreshold = 0.25;
    // Upper bound, seconds, of the time step used for motion and scrolling.
    static constexpr double maxMotionDelta = 1.0 / 30.0;

    // Both must outlive the Runner. The system timing is read once, here.
    Runner(EventSynthesizer& synthesizer, Display& display);
    // Stops (and so releases everything held).
    ~Runner() override;
    Runner(const Runner&) = delete;
    Runner& operator=(const Runner&) = delete;

    Frame& frame() override { return frame_; }

    bool useRelativeMouse() const override { return useRelativeMouse_; }
    void setUseRelativeMouse(bool on) override { useRelativeMouse_ = on; }
    ResponseCurve responseCurve() const override { return responseCurve_; }
    void setResponseCurve(const ResponseCurve& curve) override { responseCurve_ = curve; }
    Vector relativeMouseAccumulator() const override { return relativeMouseAccumulator_; }
    void setRelativeMouseAccumulator(Vector v) override { relativeMouseAccumulator_ = v; }

    bool isRunning() const override { return isRunning_; }
    // Chooses the first screen containing the cursor (else the first, main, screen; with no
    // screen at all it stays stopped), takes that screen's bounds for clamping, starts its
    // display link and starts listening. No effect when running.
    void start() override;
    void stop() override;
    void reset() override;

    // Posts a key-up for every held key (with the held modifiers' flags), one release of every
    // held modifier, and a mouse-up with click state 0 for every held button. Counts and lists
    // are left for reset() to empty.
    void releaseAll();

    // One display refresh; `deltaTime` is the duration of the frame being prepared, seconds.
    // Does nothing while stopped or for deltaTime <= 0; a deltaTime above
    // discontinuityDeltaThreshold re-reads the cursor, drops fractional motion and scroll,
    // restarts key repeat timing and leaves queued instructions for the next tick.
    void tick(double deltaTime);

    // Read-only views of the engine state, for diagnostics and tests.
    double elapsed() const { return elapsed_; }
    Point mouseTargetPos() const { return mouseTargetPos_; }
    Point mouseCurrentPos() const { return mouseCurrentPos_; }
    Vector mouseVector() const { return mouseVector_; }
    Vector scrollVector() const { return scrollVector_; }
    Vector scrollAccumulator() const { return scrollAccumulator_; }
    std::optional<double> hSpeed() const { return hSpeed_; }
    std::optional<double> vSpeed() const { return vSpeed_; }
    // The cursor bounds taken from the start screen: minX...maxX - 1 and minY...maxY - 1.
    ClosedRange width() const { return width_; }
    ClosedRange height() const { return height_; }
    const ReferenceCounter<KeyCode>& heldKeys() const { return heldKeys_; }
    const ReferenceCounter<ModifierKey>& modifiers() const { return modifiers_; }
    const KeyRepeatScheduler& keyRepeatScheduler() const { return keyRepeatScheduler_; }
    const DraggedMouseButtons& dragging() const { return dragging_; }
    const ClickCounter& clickCounter() const { return clickCounter_; }
    bool hasDisplayLink() const { return displayLink_ != nullptr; }

private:
    Runner(EventSynthesizer& synthesizer, Display& display, const SystemTiming& timing);

    void apply(const FrameInput& input);
    void keyDown(const KeyCombo& combo);
    void keyUp(const KeyCombo& combo);
    void postDueRepeats();
    void mouseDown(const MouseButton& button);
    void mouseUp(const MouseButton& button);
    void moveMouse(double dt);
    void scroll(double dt);
    // The cursor in global display coordinates; (0, 0) when it cannot be read.
    Point currentCursorPosition();

    EventSynthesizer& synthesizer_;
    Display& display_;

    std::unique_ptr<DisplayLink> displayLink_;
    bool isRunning_ = false;
    Frame frame_;
    bool useRelativeMouse_ = false;
    Point mouseTargetPos_;
    Point mouseCurrentPos_;
    Vector mouseVector_;               // stick components, each normally -1...1
    Vector scrollVector_;              // pixels per second
    Vector scrollAccumulator_;         // fractional scroll pixels not yet posted
    Vector relativeMouseAccumulator_;  // fractional relative-motion points not yet posted
    DraggedMouseButtons dragging_;
    ReferenceCounter<ModifierKey> modifiers_;
    ClickCounter clickCounter_;
    ReferenceCounter<KeyCode> heldKeys_;
    KeyRepeatScheduler keyRepeatScheduler_;
    std::optional<double> hSpeed_;  // points per second at full deflection
    std::optional<double> vSpeed_;
    ResponseCurve responseCurve_;
    double elapsed_ = 0;  // engine clock: the sum of the frame durations seen while running
    ClosedRange width_;
    ClosedRange height_;

    std::vector<FrameInput> drained_;  // reused every tick
    std::vector<KeyCode> dueKeys_;     // reused every tick
};

}  // namespace joywright

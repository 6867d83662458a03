#pragma once

#include "engine/Geometry.hpp"
#include "model/MouseButton.hpp"

namespace joywright {

// Multi-click counting: a left press that follows a left press at exactly the same point within
// the double-click interval (engine clock, seconds) counts up to a triple click; any other press
// is a single click. Main thread only.
class ClickCounter {
public:
    explicit ClickCounter(double doubleClickInterval) : doubleClickInterval_(doubleClickInterval) {}

    // Counts a press of `button` at `point` at engine time `now`; returns the click state to post
    // (1 single, 2 double, 3 triple).
    int press(const MouseButton& button, Point point, double now);
    // count 0, prevPoint (0, 0), prevTime 0.
    void reset();

    int count() const { return count_; }
    Point prevPoint() const { return prevPoint_; }
    double prevTime() const { return prevTime_; }
    double doubleClickInterval() const { return doubleClickInterval_; }

private:
    int count_ = 0;
    bool prevWasLeft_ = false;  // a press of another button in between ends the series
    Point prevPoint_;
    double prevTime_ = 0;
    double doubleClickInterval_;
};

}  // namespace joywright

#pragma once

#include <array>

#include "controller/ControllerSettings.hpp"
#include "model/Direction.hpp"
#include "model/Output.hpp"

namespace joywright {

class Frame;

// The change handler of one thumbstick. Each report (x, y in -1...1, positive right and up) is
// calibrated, passed through the radial dead zone and turned into a set of active directions:
//  - smooth: every direction the stick leans towards, with its share of the deflection;
//  - eightWay: the directions of the 45° sector the stick points into (no hysteresis).
// Going from the previous set to the new one, the handler first releases the directions that
// ended, then presses, in the order up, down, left, right: a key, click or notch only when its
// direction starts; a mouse motion or continuous scroll on every report while its direction is
// active. Constant work per report; appends are its only allocation. Main thread.
class ThumbstickHandler {
public:
    struct Outputs {
        Output up;
        Output down;
        Output left;
        Output right;
    };

    // `deadZone` is a radius in 0...1 (values outside are brought to the nearest end; not a
    // number counts as 0). `frame` must outlive the handler.
    ThumbstickHandler(ThumbstickMode mode, ThumbstickCalibration calibration, float deadZone,
                      const Outputs& outputs, Frame& frame);

    void operator()(float x, float y);

    DirectionSet activeDirections() const { return activeDirections_; }

private:
    void transition(DirectionSet next, const std::array<float, 4>& magnitudes, bool clamp);

    ThumbstickMode mode_;
    ThumbstickCalibration calibration_;
    float deadZone_;
    Frame* frame_;
    // Indexed by index(direction).
    std::array<Output, 4> outputs_;
    std::array<bool, 4> followsStrength_{};
    DirectionSet activeDirections_;
};

}  // namespace joywright

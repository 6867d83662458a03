#pragma once

#include <array>
#include <cstddef>

#include "controller/ControllerSettings.hpp"
#include "model/Direction.hpp"

namespace joywright {

// Position in an array indexed by direction (left 0, right 1, up 2, down 3).
constexpr std::size_t index(Direction direction) {
    return static_cast<std::size_t>(direction);
}

// One stick report after calibration and the radial dead zone.
struct StickReading {
    // The report minus the calibration, each axis clamped to -1...1 (positive right and up).
    float x = 0.0f;
    float y = 0.0f;
    // sqrt(x² + y²); up to √2 on the diagonals.
    float radius = 0.0f;
    // (radius - deadZone) / (1 - deadZone) limited to 0...1: 0 at the dead-zone edge, 1 at full
    // deflection.
    float magnitude = 0.0f;
    // The share of `magnitude` along each direction, indexed by index(direction); 0...1, and 0
    // for the directions the stick points away from (all 0 when the radius is 0).
    std::array<float, 4> components{};

    float component(Direction direction) const { return components[index(direction)]; }
};

// Reads one report. `deadZone` is a radius in 0...1; axes that are not numbers give a radius that
// is not a number and all components 0.
StickReading readStick(float reportedX, float reportedY, ThumbstickCalibration calibration,
                       float deadZone);

}  // namespace joywright

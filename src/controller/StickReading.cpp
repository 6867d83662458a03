#include "controller/StickReading.hpp"

#include <cmath>

namespace joywright {

namespace {

float clampAxis(float value) {
    if (value < -1.0f) return -1.0f;
    if (value > 1.0f) return 1.0f;
    return value;
}

// Limits to 0...1; a value that is not a number (the 0/0 of a radius exactly at a dead zone of
// 1) counts as 0.
float unitInterval(float value) {
    if (!(value > 0.0f)) return 0.0f;
    return value > 1.0f ? 1.0f : value;
}

float positivePart(float value) {
    return value > 0.0f ? value : 0.0f;
}

}  // namespace

StickReading readStick(float reportedX, float reportedY, ThumbstickCalibration calibration,
                       float deadZone) {
    StickReading reading;
    reading.x = clampAxis(reportedX - calibration.x);
    reading.y = clampAxis(reportedY - calibration.y);
    reading.radius = std::sqrt(reading.x * reading.x + reading.y * reading.y);
    reading.magnitude = unitInterval((reading.radius - deadZone) / (1.0f - deadZone));
    if (reading.radius > 0.0f) {
        const float s = reading.magnitude;
        const float r = reading.radius;
        reading.components[index(Direction::up)] = positivePart(reading.y / r * s);
        reading.components[index(Direction::down)] = positivePart(-reading.y / r * s);
        reading.components[index(Direction::left)] = positivePart(-reading.x / r * s);
        reading.components[index(Direction::right)] = positivePart(reading.x / r * s);
    }
    return reading;
}

}  // namespace joywright

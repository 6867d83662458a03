#pragma once

#include <map>
#include <string>
#include <string_view>

#include "support/Expected.hpp"

namespace joywright {

struct ControllerDisplayInfo;

// The resting offset of one stick, subtracted from each report before the dead zone applies.
// Units of the stick axes (-1...1, positive right and up).
struct ThumbstickCalibration {
    float x = 0.0f;
    float y = 0.0f;

    friend bool operator==(const ThumbstickCalibration&, const ThumbstickCalibration&) = default;
};

// Both sticks' offsets; all zero means "not calibrated".
struct ControllerCalibration {
    ThumbstickCalibration left{};
    ThumbstickCalibration right{};

    bool isZero() const { return *this == ControllerCalibration{}; }

    friend bool operator==(const ControllerCalibration&, const ControllerCalibration&) = default;
};

// The dead zone a controller has until the user changes it (shown as 5%).
inline constexpr float kDefaultDeadZone = 0.05f;
// The dead zones the user can choose: 0 to 0.5 inclusive, in steps of 0.01.
inline constexpr float kMinimumDeadZone = 0.0f;
inline constexpr float kMaximumDeadZone = 0.5f;
inline constexpr float kDeadZoneStep = 0.01f;

// `deadZone` nearest to an allowed value (a multiple of the step within the range); a value that
// is not a number gives the default.
float constrainedDeadZone(float deadZone);

// One kind of controller's stick settings. Default-constructed: the defaults (dead zone 0.05,
// zero calibration).
struct ControllerSettings {
    // Radius (in stick units) below which a stick counts as centred.
    float deadZone = kDefaultDeadZone;
    ControllerCalibration calibration{};

    friend bool operator==(const ControllerSettings&, const ControllerSettings&) = default;
};

// Settings keyed by settingsKey(ControllerDisplayInfo) ("vendor/category").
using ControllerSettingsDictionary = std::map<std::string, ControllerSettings>;

// The stored settings of that controller, or the defaults when it has none.
ControllerSettings settingsFor(const ControllerSettingsDictionary& dictionary,
                               const ControllerDisplayInfo& info);

// The dictionary as one compact JSON object: {"<key>": {"calibration": {"left": {"x": 0,
// "y": 0}, "right": {...}}, "deadZone": 0.05}, ...}. Numbers are written as the shortest text
// that reads back as the same 32-bit float. Fails (with the reason) on a value that is not a
// finite number, since JSON cannot carry it.
Expected<std::string, std::string> encodeControllerSettings(
    const ControllerSettingsDictionary& dictionary);

// The inverse. Every member is required and must be a number that fits a 32-bit float; the first
// problem anywhere fails the whole value, with a message naming it. Unknown members are ignored.
Expected<ControllerSettingsDictionary, std::string> decodeControllerSettings(std::string_view json);

}  // namespace joywright

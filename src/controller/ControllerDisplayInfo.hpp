#pragma once

#include <optional>
#include <string>

namespace joywright {

class Gamepad;

// What the user reads of the connected controller, and what names its settings. Taken once when
// the gamepad is set, so the battery level is the level at connection time.
struct ControllerDisplayInfo {
    // None when the platform gives none or the gamepad has no controller object.
    std::optional<std::string> vendorName{};
    // "Unknown" when the gamepad has no controller object.
    std::string productCategory{};
    // 0...1; none when the controller reports no battery.
    std::optional<float> batteryLevel{};

    // "<vendor> (<category>)", or the category alone without a vendor name.
    std::string displayName() const;

    friend bool operator==(const ControllerDisplayInfo&, const ControllerDisplayInfo&) = default;
};

// The record of a gamepad's controller. Main thread.
ControllerDisplayInfo controllerDisplayInfo(const Gamepad& gamepad);

// The key of a controller's settings: the vendor name (empty without one), "/", the product
// category. "Sony/DualSense", "/Gamepad".
std::string settingsKey(const ControllerDisplayInfo& info);

}  // namespace joywright

#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>

namespace joywright {

// One element of a gamepad. Its alias names ("Button A", "Left Thumbstick", "Direction Pad", ...)
// are what the input scanner classifies it by.
class GamepadElement {
public:
    virtual ~GamepadElement() = default;
    virtual std::span<const std::string> aliases() const = 0;
};

// A button, trigger, shoulder, stick press, or one direction of a D-pad or stick: an analog value
// in 0...1. The change handler receives the new value; an empty handler removes it.
class GamepadButton : public GamepadElement {
public:
    using ValueChangedHandler = std::function<void(float value)>;

    virtual float value() const = 0;
    virtual void setValueChangedHandler(ValueChangedHandler handler) = 0;
    virtual bool hasValueChangedHandler() const = 0;
};

// A thumbstick or the D-pad: x and y in -1...1, positive right and up. Its up, down, left and right
// buttons are its half-axes (0...1). The change handler receives (x, y).
class GamepadDirectionPad : public GamepadElement {
public:
    using ValueChangedHandler = std::function<void(float x, float y)>;

    virtual float xAxis() const = 0;
    virtual float yAxis() const = 0;
    virtual GamepadButton& up() = 0;
    virtual GamepadButton& down() = 0;
    virtual GamepadButton& left() = 0;
    virtual GamepadButton& right() = 0;
    virtual void setValueChangedHandler(ValueChangedHandler handler) = 0;
    virtual bool hasValueChangedHandler() const = 0;
};

// What the platform says of the physical controller behind a gamepad.
struct ControllerDescription {
    std::optional<std::string> vendorName;
    std::string productCategory;
    // 0...1; none when the controller reports no battery (or is wired).
    std::optional<float> batteryLevel;
};

// One extended gamepad. Handlers are called on the main thread, the element's own handler first,
// then (for a D-pad or stick direction) the pad's handler, then the gamepad-wide handler with the
// element that changed (the pad itself for a stick or D-pad change). Each handler fires once per
// actual change of its value. Backends report through these handlers; they never edit the model.
class Gamepad {
public:
    using ValueChangedHandler = std::function<void(Gamepad& gamepad, GamepadElement& element)>;

    virtual ~Gamepad() = default;

    virtual GamepadDirectionPad& leftThumbstick() = 0;
    virtual GamepadDirectionPad& rightThumbstick() = 0;
    virtual GamepadDirectionPad& dpad() = 0;
    virtual GamepadButton& buttonA() = 0;
    virtual GamepadButton& buttonB() = 0;
    virtual GamepadButton& buttonX() = 0;
    virtual GamepadButton& buttonY() = 0;
    virtual GamepadButton& leftShoulder() = 0;
    virtual GamepadButton& rightShoulder() = 0;
    virtual GamepadButton& leftTrigger() = 0;
    virtual GamepadButton& rightTrigger() = 0;
    virtual GamepadButton& buttonMenu() = 0;
    // Optional elements: null when the controller does not have them.
    virtual GamepadButton* leftThumbstickButton() = 0;
    virtual GamepadButton* rightThumbstickButton() = 0;
    virtual GamepadButton* buttonOptions() = 0;
    virtual GamepadButton* buttonHome() = 0;

    virtual void setValueChangedHandler(ValueChangedHandler handler) = 0;
    virtual bool hasValueChangedHandler() const = 0;

    // The controller object behind the profile; none when there is none.
    virtual std::optional<ControllerDescription> controller() const = 0;
};

}  // namespace joywright

#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "controller/Gamepad.hpp"

namespace joywright {

// One button-like element of an SDL gamepad: value 0...1. Main thread only.
class SdlGamepadButton final : public GamepadButton {
public:
    explicit SdlGamepadButton(std::vector<std::string> aliases);

    std::span<const std::string> aliases() const override { return aliases_; }
    float value() const override { return value_; }
    void setValueChangedHandler(ValueChangedHandler handler) override;
    bool hasValueChangedHandler() const override { return handler_ != nullptr; }

    // Takes `value` without telling anyone (the state found when a controller opens).
    void reset(float value) { value_ = value; }
    // Takes `value`; when it differs from the previous one, calls the handler and returns true.
    bool change(float value);

private:
    std::vector<std::string> aliases_;
    float value_ = 0;
    // Shared so that a handler may replace itself while it runs.
    std::shared_ptr<const ValueChangedHandler> handler_;
};

// A thumbstick or the D-pad: x and y in -1...1 (positive right and up), and the four half-axes
// as buttons. Main thread only.
class SdlGamepadDirectionPad final : public GamepadDirectionPad {
public:
    // `name` is the pad's alias ("Left Thumbstick"); its directions are "<name> Up" and so on.
    explicit SdlGamepadDirectionPad(const std::string& name);

    std::span<const std::string> aliases() const override { return aliases_; }
    float xAxis() const override { return x_; }
    float yAxis() const override { return y_; }
    GamepadButton& up() override { return up_; }
    GamepadButton& down() override { return down_; }
    GamepadButton& left() override { return left_; }
    GamepadButton& right() override { return right_; }
    void setValueChangedHandler(ValueChangedHandler handler) override;
    bool hasValueChangedHandler() const override { return handler_ != nullptr; }

    // Takes (x, y) and the half-axes derived from it without telling anyone.
    void reset(float x, float y);
    // Takes (x, y); the half-axes that changed call their handlers (up, down, left, right), then
    // the pad's handler is called. True when x or y changed.
    bool change(float x, float y);

private:
    std::vector<std::string> aliases_;
    float x_ = 0;
    float y_ = 0;
    SdlGamepadButton up_;
    SdlGamepadButton down_;
    SdlGamepadButton left_;
    SdlGamepadButton right_;
    std::shared_ptr<const ValueChangedHandler> handler_;
};

}  // namespace joywright

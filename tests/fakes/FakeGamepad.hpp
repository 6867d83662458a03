#pragma once

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "controller/Gamepad.hpp"

namespace joywright {

class FakeGamepad;
class FakeDirectionPad;

// One button of the fake gamepad. A test sets its value with set(); the installed handlers fire
// as a platform fires them: only on an actual change, the button's own handler first, then (for
// a pad direction) the pad's handler, then the gamepad-wide handler.
class FakeGamepadButton final : public GamepadButton {
public:
    FakeGamepadButton(FakeGamepad& gamepad, std::string alias, FakeDirectionPad* pad = nullptr)
        : gamepad_(gamepad), pad_(pad) {
        aliases_.push_back(std::move(alias));
    }
    FakeGamepadButton(const FakeGamepadButton&) = delete;
    FakeGamepadButton& operator=(const FakeGamepadButton&) = delete;

    std::span<const std::string> aliases() const override { return aliases_; }
    void setAliases(std::vector<std::string> aliases) { aliases_ = std::move(aliases); }

    float value() const override { return value_; }
    void setValueChangedHandler(ValueChangedHandler handler) override {
        handler_ = std::move(handler);
    }
    bool hasValueChangedHandler() const override { return static_cast<bool>(handler_); }

    // Sets the analog value (0...1). A pad direction moves its pad's axis instead: up and right
    // set the axis to +value, down and left to -value (so releasing one side centres the axis).
    inline void set(float value);
    void press() { set(1.0f); }
    void release() { set(0.0f); }

private:
    friend class FakeDirectionPad;

    // Stores the value and calls this button's own handler when it changed; true if it did.
    bool store(float value) {
        if (value == value_) return false;
        value_ = value;
        if (handler_) handler_(value_);
        return true;
    }

    FakeGamepad& gamepad_;
    FakeDirectionPad* pad_;
    std::vector<std::string> aliases_;
    float value_ = 0.0f;
    ValueChangedHandler handler_;
};

// A thumbstick or the D-pad of the fake gamepad: x and y in -1...1, positive right and up. Its
// up/down/left/right buttons are the half-axes: up = max(y, 0), down = max(-y, 0), left =
// max(-x, 0), right = max(x, 0).
class FakeDirectionPad final : public GamepadDirectionPad {
public:
    FakeDirectionPad(FakeGamepad& gamepad, std::string alias)
        : gamepad_(gamepad),
          up_(gamepad, alias + " Up", this),
          down_(gamepad, alias + " Down", this),
          left_(gamepad, alias + " Left", this),
          right_(gamepad, alias + " Right", this) {
        aliases_.push_back(std::move(alias));
    }
    FakeDirectionPad(const FakeDirectionPad&) = delete;
    FakeDirectionPad& operator=(const FakeDirectionPad&) = delete;

    std::span<const std::string> aliases() const override { return aliases_; }
    void setAliases(std::vector<std::string> aliases) { aliases_ = std::move(aliases); }

    float xAxis() const override { return x_; }
    float yAxis() const override { return y_; }
    FakeGamepadButton& up() override { return up_; }
    FakeGamepadButton& down() override { return down_; }
    FakeGamepadButton& left() override { return left_; }
    FakeGamepadButton& right() override { return right_; }
    void setValueChangedHandler(ValueChangedHandler handler) override {
        handler_ = std::move(handler);
    }
    bool hasValueChangedHandler() const override { return static_cast<bool>(handler_); }

    // Moves the pad. When x or y changed: the handlers of the directions whose value changed (up,
    // down, left, right), then the pad's handler with (x, y), then the gamepad-wide handler with
    // this pad. Values are stored as given (no clamping), so a test can report what a faulty
    // backend might.
    inline void set(float x, float y);
    void centre() { set(0.0f, 0.0f); }

private:
    friend class FakeGamepadButton;

    FakeGamepad& gamepad_;
    std::vector<std::string> aliases_;
    float x_ = 0.0f;
    float y_ = 0.0f;
    FakeGamepadButton up_;
    FakeGamepadButton down_;
    FakeGamepadButton left_;
    FakeGamepadButton right_;
    ValueChangedHandler handler_;
};

// Which optional elements the fake controller has (all of them by default).
struct FakeGamepadElements {
    bool leftThumbstickButton = true;
    bool rightThumbstickButton = true;
    bool buttonOptions = true;
    bool buttonHome = true;
};

// An extended gamepad driven by a test. Every element carries, by default, the alias the input
// scanner classifies it by ("Button A", "Left Thumbstick", "Direction Pad", ...). The controller
// description is settable; by default vendor "Fake Vendor", category "Gamepad", no battery.
class FakeGamepad final : public Gamepad {
public:
    explicit FakeGamepad(FakeGamepadElements elements = {}) : elements_(elements) {}
    FakeGamepad(const FakeGamepad&) = delete;
    FakeGamepad& operator=(const FakeGamepad&) = delete;

    FakeDirectionPad& leftThumbstick() override { return leftThumbstick_; }
    FakeDirectionPad& rightThumbstick() override { return rightThumbstick_; }
    FakeDirectionPad& dpad() override { return dpad_; }
    FakeGamepadButton& buttonA() override { return buttonA_; }
    FakeGamepadButton& buttonB() override { return buttonB_; }
    FakeGamepadButton& buttonX() override { return buttonX_; }
    FakeGamepadButton& buttonY() override { return buttonY_; }
    FakeGamepadButton& leftShoulder() override { return leftShoulder_; }
    FakeGamepadButton& rightShoulder() override { return rightShoulder_; }
    FakeGamepadButton& leftTrigger() override { return leftTrigger_; }
    FakeGamepadButton& rightTrigger() override { return rightTrigger_; }
    FakeGamepadButton& buttonMenu() override { return buttonMenu_; }
    FakeGamepadButton* leftThumbstickButton() override {
        return elements_.leftThumbstickButton ? &leftThumbstickButton_ : nullptr;
    }
    FakeGamepadButton* rightThumbstickButton() override {
        return elements_.rightThumbstickButton ? &rightThumbstickButton_ : nullptr;
    }
    FakeGamepadButton* buttonOptions() override {
        return elements_.buttonOptions ? &buttonOptions_ : nullptr;
    }
    FakeGamepadButton* buttonHome() override {
        return elements_.buttonHome ? &buttonHome_ : nullptr;
    }

    void setValueChangedHandler(ValueChangedHandler handler) override {
        handler_ = std::move(handler);
    }
    bool hasValueChangedHandler() const override { return static_cast<bool>(handler_); }

    std::optional<ControllerDescription> controller() const override { return controller_; }

    // None: the gamepad has no controller object.
    void setController(std::optional<ControllerDescription> controller) {
        controller_ = std::move(controller);
    }
    void setVendorName(std::optional<std::string> vendorName) {
        ensureController().vendorName = std::move(vendorName);
    }
    void setProductCategory(std::string productCategory) {
        ensureController().productCategory = std::move(productCategory);
    }
    void setBatteryLevel(std::optional<float> batteryLevel) {
        ensureController().batteryLevel = batteryLevel;
    }

    // Every button (not pad direction) the controller has, in the installation order of the
    // handlers; handy for walking all elements in a test.
    std::vector<FakeGamepadButton*> buttons() {
        std::vector<FakeGamepadButton*> all{leftThumbstickButton(),
                                            &leftShoulder_,
                                            &leftTrigger_,
                                            rightThumbstickButton(),
                                            &rightShoulder_,
                                            &rightTrigger_,
                                            &buttonA_,
                                            &buttonB_,
                                            &buttonX_,
                                            &buttonY_,
                                            &buttonMenu_,
                                            buttonOptions(),
                                            buttonHome()};
        std::erase(all, nullptr);
        return all;
    }

private:
    friend class FakeGamepadButton;
    friend class FakeDirectionPad;

    void notify(GamepadElement& element) {
        if (handler_) handler_(*this, element);
    }
    ControllerDescription& ensureController() {
        if (!controller_) controller_ = ControllerDescription{};
        return *controller_;
    }

    FakeGamepadElements elements_;
    std::optional<ControllerDescription> controller_ = ControllerDescription{
        .vendorName = "Fake Vendor", .productCategory = "Gamepad", .batteryLevel = std::nullopt};
    ValueChangedHandler handler_;

    FakeDirectionPad leftThumbstick_{*this, "Left Thumbstick"};
    FakeDirectionPad rightThumbstick_{*this, "Right Thumbstick"};
    FakeDirectionPad dpad_{*this, "Direction Pad"};
    FakeGamepadButton buttonA_{*this, "Button A"};
    FakeGamepadButton buttonB_{*this, "Button B"};
    FakeGamepadButton buttonX_{*this, "Button X"};
    FakeGamepadButton buttonY_{*this, "Button Y"};
    FakeGamepadButton buttonMenu_{*this, "Button Menu"};
    FakeGamepadButton buttonOptions_{*this, "Button Options"};
    FakeGamepadButton buttonHome_{*this, "Button Home"};
    FakeGamepadButton leftThumbstickButton_{*this, "Left Thumbstick Button"};
    FakeGamepadButton leftShoulder_{*this, "Left Shoulder"};
    FakeGamepadButton leftTrigger_{*this, "Left Trigger"};
    FakeGamepadButton rightTrigger_{*this, "Right Trigger"};
    FakeGamepadButton rightShoulder_{*this, "Right Shoulder"};
    FakeGamepadButton rightThumbstickButton_{*this, "Right Thumbstick Button"};
};

inline void FakeGamepadButton::set(float value) {
    if (pad_ == nullptr) {
        if (store(value)) gamepad_.notify(*this);
        return;
    }
    float x = pad_->xAxis();
    float y = pad_->yAxis();
    if (this == &pad_->up_) y = value;
    if (this == &pad_->down_) y = -value;
    if (this == &pad_->left_) x = -value;
    if (this == &pad_->right_) x = value;
    pad_->set(x, y);
}

inline void FakeDirectionPad::set(float x, float y) {
    if (x == x_ && y == y_) return;
    x_ = x;
    y_ = y;
    up_.store(std::max(y, 0.0f));
    down_.store(std::max(-y, 0.0f));
    left_.store(std::max(-x, 0.0f));
    right_.store(std::max(x, 0.0f));
    if (handler_) handler_(x_, y_);
    gamepad_.notify(*this);
}

}  // namespace joywright

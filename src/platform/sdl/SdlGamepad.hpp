#pragma once

#include <SDL.h>

#include <memory>
#include <optional>
#include <string>

#include "controller/Gamepad.hpp"
#include "platform/sdl/SdlGamepadElements.hpp"
#include "support/Expected.hpp"

namespace joywright {

// An SDL game controller as an extended gamepad. Element values are normalised here: buttons
// 0 or 1, triggers 0...1, sticks -1...1 with y growing upwards (SDL's grows downwards). The
// service feeds it SDL's events; each element's handlers fire once per actual change, the
// element's own first, then its pad's, then the gamepad-wide one. Main thread only.
class SdlGamepad final : public Gamepad {
public:
    // Opens SDL device `deviceIndex` as a game controller, reading its current state without
    // firing handlers; SDL's reason when it cannot.
    static Expected<std::shared_ptr<SdlGamepad>, std::string> open(int deviceIndex);

    ~SdlGamepad() override;
    SdlGamepad(const SdlGamepad&) = delete;
    SdlGamepad& operator=(const SdlGamepad&) = delete;

    GamepadDirectionPad& leftThumbstick() override { return leftThumbstick_; }
    GamepadDirectionPad& rightThumbstick() override { return rightThumbstick_; }
    GamepadDirectionPad& dpad() override { return dpad_; }
    GamepadButton& buttonA() override { return buttonA_; }
    GamepadButton& buttonB() override { return buttonB_; }
    GamepadButton& buttonX() override { return buttonX_; }
    GamepadButton& buttonY() override { return buttonY_; }
    GamepadButton& leftShoulder() override { return leftShoulder_; }
    GamepadButton& rightShoulder() override { return rightShoulder_; }
    GamepadButton& leftTrigger() override { return leftTrigger_; }
    GamepadButton& rightTrigger() override { return rightTrigger_; }
    GamepadButton& buttonMenu() override { return buttonMenu_; }
    GamepadButton* leftThumbstickButton() override { return optional(leftThumbstickButton_); }
    GamepadButton* rightThumbstickButton() override { return optional(rightThumbstickButton_); }
    GamepadButton* buttonOptions() override { return optional(buttonOptions_); }
    GamepadButton* buttonHome() override { return optional(buttonHome_); }

    void setValueChangedHandler(ValueChangedHandler handler) override;
    bool hasValueChangedHandler() const override { return handler_ != nullptr; }

    // Vendor name (SDL's controller name), product category (by controller type) and, while
    // connected, the battery level.
    std::optional<ControllerDescription> controller() const override;

    // SDL's instance id of the joystick behind this gamepad; unique for the process's life.
    SDL_JoystickID instanceId() const { return instanceId_; }
    bool isOpen() const { return controller_ != nullptr; }

    // One SDL controller event for this gamepad. A stick's x and y arrive as two events; the
    // second axis of a pair is awaited so a diagonal move is one change, delivered when the pair
    // is complete or by flushPending().
    void applyButton(SDL_GameControllerButton button, bool pressed);
    void applyAxis(SDL_GameControllerAxis axis, Sint16 raw);
    // Delivers a stick change still waiting for its second axis.
    void flushPending();

    // Releases SDL's controller (after a disconnect, or when SDL shuts down). Values and handlers
    // stay; no more events arrive.
    void close();

private:
    struct PendingStick {
        bool xStaged = false;
        bool yStaged = false;
        float x = 0;
        float y = 0;
    };

    explicit SdlGamepad(SDL_GameController* controller);

    static GamepadButton* optional(std::optional<SdlGamepadButton>& button) {
        return button ? &*button : nullptr;
    }
    SdlGamepadButton* buttonFor(SDL_GameControllerButton button);
    void readInitialState();
    void stage(SdlGamepadDirectionPad& stick, PendingStick& pending, bool isX, float value);
    void flush(SdlGamepadDirectionPad& stick, PendingStick& pending);
    void changeDpad();
    void notifyGamepad(GamepadElement& element);

    SDL_GameController* controller_;
    SDL_JoystickID instanceId_;
    std::optional<std::string> vendorName_;
    std::string productCategory_;

    SdlGamepadDirectionPad leftThumbstick_{"Left Thumbstick"};
    SdlGamepadDirectionPad rightThumbstick_{"Right Thumbstick"};
    SdlGamepadDirectionPad dpad_{"Direction Pad"};
    SdlGamepadButton buttonA_{{"Button A"}};
    SdlGamepadButton buttonB_{{"Button B"}};
    SdlGamepadButton buttonX_{{"Button X"}};
    SdlGamepadButton buttonY_{{"Button Y"}};
    SdlGamepadButton leftShoulder_{{"Left Shoulder"}};
    SdlGamepadButton rightShoulder_{{"Right Shoulder"}};
    SdlGamepadButton leftTrigger_{{"Left Trigger"}};
    SdlGamepadButton rightTrigger_{{"Right Trigger"}};
    SdlGamepadButton buttonMenu_{{"Button Menu"}};
    std::optional<SdlGamepadButton> leftThumbstickButton_;
    std::optional<SdlGamepadButton> rightThumbstickButton_;
    std::optional<SdlGamepadButton> buttonOptions_;
    std::optional<SdlGamepadButton> buttonHome_;

    // D-pad buttons as SDL reports them: up, down, left, right.
    bool dpadPressed_[4] = {false, false, false, false};
    PendingStick leftPending_;
    PendingStick rightPending_;
    std::shared_ptr<const ValueChangedHandler> handler_;
};

}  // namespace joywright

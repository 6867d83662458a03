#include "controller/HandlerInstallation.hpp"

#include "controller/ButtonHandler.hpp"
#include "controller/ControllerSettings.hpp"
#include "controller/Gamepad.hpp"
#include "controller/ThumbstickHandler.hpp"
#include "model/Mapping.hpp"

namespace joywright {

namespace {

// The output of the mapping's first entry for `input`; noop when it has none.
Output boundOutput(const Mapping& mapping, InputName input) {
    for (const Input& entry : mapping.inputs)
        if (entry.id == input) return entry.output;
    return Output::noop();
}

struct StickInputs {
    InputName up;
    InputName down;
    InputName left;
    InputName right;
};

void installStick(GamepadDirectionPad& stick, const Mapping& mapping, const StickInputs& inputs,
                  ThumbstickMode mode, ThumbstickCalibration calibration, float deadZone,
                  Frame& frame) {
    stick.up().setValueChangedHandler(nullptr);
    stick.down().setValueChangedHandler(nullptr);
    stick.left().setValueChangedHandler(nullptr);
    stick.right().setValueChangedHandler(nullptr);
    const ThumbstickHandler::Outputs outputs{
        .up = boundOutput(mapping, inputs.up),
        .down = boundOutput(mapping, inputs.down),
        .left = boundOutput(mapping, inputs.left),
        .right = boundOutput(mapping, inputs.right),
    };
    stick.setValueChangedHandler(ThumbstickHandler(mode, calibration, deadZone, outputs, frame));
}

void installButton(GamepadButton* button, const Mapping& mapping, InputName input, Frame& frame) {
    if (button == nullptr) return;
    Output output = boundOutput(mapping, input);
    if (output.is<Output::Noop>()) {
        button->setValueChangedHandler(nullptr);
        return;
    }
    button->setValueChangedHandler(ButtonHandler(std::move(output), frame));
}

}  // namespace

void installHandlers(Gamepad& gamepad, const Mapping& mapping, const ControllerSettings& settings,
                     Frame& frame) {
    const float deadZone = settings.deadZone;
    const ControllerCalibration& calibration = settings.calibration;

    installStick(gamepad.leftThumbstick(), mapping,
                 {InputName::leftThumbstickUp, InputName::leftThumbstickDown,
                  InputName::leftThumbstickLeft, InputName::leftThumbstickRight},
                 mapping.leftThumbstickMode, calibration.left, deadZone, frame);
    installButton(gamepad.leftThumbstickButton(), mapping, InputName::leftThumbstickButton, frame);
    installButton(&gamepad.leftShoulder(), mapping, InputName::leftShoulder, frame);
    installButton(&gamepad.leftTrigger(), mapping, InputName::leftTrigger, frame);

    installStick(gamepad.rightThumbstick(), mapping,
                 {InputName::rightThumbstickUp, InputName::rightThumbstickDown,
                  InputName::rightThumbstickLeft, InputName::rightThumbstickRight},
                 mapping.rightThumbstickMode, calibration.right, deadZone, frame);
    installButton(gamepad.rightThumbstickButton(), mapping, InputName::rightThumbstickButton,
                  frame);
    installButton(&gamepad.rightShoulder(), mapping, InputName::rightShoulder, frame);
    installButton(&gamepad.rightTrigger(), mapping, InputName::rightTrigger, frame);

    installButton(&gamepad.buttonA(), mapping, InputName::buttonA, frame);
    installButton(&gamepad.buttonB(), mapping, InputName::buttonB, frame);
    installButton(&gamepad.buttonX(), mapping, InputName::buttonX, frame);
    installButton(&gamepad.buttonY(), mapping, InputName::buttonY, frame);
    installButton(&gamepad.buttonMenu(), mapping, InputName::buttonStart, frame);
    installButton(gamepad.buttonOptions(), mapping, InputName::buttonSelect, frame);
    installButton(gamepad.buttonHome(), mapping, InputName::buttonHome, frame);

    GamepadDirectionPad& dpad = gamepad.dpad();
    installButton(&dpad.up(), mapping, InputName::dpadUp, frame);
    installButton(&dpad.down(), mapping, InputName::dpadDown, frame);
    installButton(&dpad.left(), mapping, InputName::dpadLeft, frame);
    installButton(&dpad.right(), mapping, InputName::dpadRight, frame);
}

}  // namespace joywright

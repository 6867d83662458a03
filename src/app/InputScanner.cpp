#include "app/InputScanner.hpp"

#include <algorithm>

#include "controller/Gamepad.hpp"

namespace joywright {
namespace {

// The entry of `inputs` (up, down, left, right) for the first of the pad's up, down, left and
// right buttons pressed at least half way.
std::optional<InputName> pressedDirection(GamepadDirectionPad& pad,
                                          const std::array<InputName, 4>& inputs) {
    const std::array<GamepadButton*, 4> directions{&pad.up(), &pad.down(), &pad.left(),
                                                   &pad.right()};
    for (std::size_t i = 0; i < directions.size(); ++i) {
        if (directions[i]->value() >= kScanDirectionThreshold) return inputs[i];
    }
    return std::nullopt;
}

}  // namespace

std::optional<InputName> scannedInput(Gamepad& gamepad, const GamepadElement& element) {
    const auto aliases = element.aliases();
    for (const auto& entry : kScanAliases) {
        const bool carries = std::any_of(aliases.begin(), aliases.end(),
                                         [&](const std::string& a) { return a == entry.alias; });
        if (!carries) continue;
        switch (entry.target) {
            case ScanTarget::input:
                return entry.input;
            case ScanTarget::leftThumbstick:
                return pressedDirection(
                    gamepad.leftThumbstick(),
                    {InputName::leftThumbstickUp, InputName::leftThumbstickDown,
                     InputName::leftThumbstickLeft, InputName::leftThumbstickRight});
            case ScanTarget::rightThumbstick:
                return pressedDirection(
                    gamepad.rightThumbstick(),
                    {InputName::rightThumbstickUp, InputName::rightThumbstickDown,
                     InputName::rightThumbstickLeft, InputName::rightThumbstickRight});
            case ScanTarget::dpad:
                return pressedDirection(
                    gamepad.dpad(), {InputName::dpadUp, InputName::dpadDown, InputName::dpadLeft,
                                     InputName::dpadRight});
        }
    }
    return std::nullopt;
}

}  // namespace joywright

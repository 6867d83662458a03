#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "model/InputName.hpp"

namespace joywright {

class Gamepad;
class GamepadElement;

// What an element alias stands for: one input, or a stick or the D-pad whose direction is read
// from the gamepad's current values.
enum class ScanTarget : std::uint8_t { input, leftThumbstick, rightThumbstick, dpad };

struct ScanAlias {
    std::string_view alias;
    ScanTarget target;
    InputName input;  // for ScanTarget::input; unused otherwise
};

// The aliases the input scanner recognises, in the order they are tested: the first alias the
// element carries decides.
inline constexpr std::array<ScanAlias, 16> kScanAliases{{
    {"Button A", ScanTarget::input, InputName::buttonA},
    {"Button B", ScanTarget::input, InputName::buttonB},
    {"Button X", ScanTarget::input, InputName::buttonX},
    {"Button Y", ScanTarget::input, InputName::buttonY},
    {"Button Menu", ScanTarget::input, InputName::buttonStart},
    {"Button Options", ScanTarget::input, InputName::buttonSelect},
    {"Button Home", ScanTarget::input, InputName::buttonHome},
    {"Left Thumbstick Button", ScanTarget::input, InputName::leftThumbstickButton},
    {"Left Thumbstick", ScanTarget::leftThumbstick, InputName::leftThumbstickUp},
    {"Left Shoulder", ScanTarget::input, InputName::leftShoulder},
    {"Left Trigger", ScanTarget::input, InputName::leftTrigger},
    {"Right Trigger", ScanTarget::input, InputName::rightTrigger},
    {"Right Shoulder", ScanTarget::input, InputName::rightShoulder},
    {"Right Thumbstick", ScanTarget::rightThumbstick, InputName::rightThumbstickUp},
    {"Right Thumbstick Button", ScanTarget::input, InputName::rightThumbstickButton},
    {"Direction Pad", ScanTarget::dpad, InputName::dpadUp},
}};

// A stick or D-pad direction counts as pressed from this value on (inclusive).
inline constexpr float kScanDirectionThreshold = 0.5f;

// The input a change of `element` selects: the first recognised alias decides; a stick or the
// D-pad gives the first of its up, down, left and right buttons on `gamepad` whose value is at
// least 0.5, or none. None when no alias is recognised. Main thread.
std::optional<InputName> scannedInput(Gamepad& gamepad, const GamepadElement& element);

}  // namespace joywright

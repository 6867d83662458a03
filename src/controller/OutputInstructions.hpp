#pragma once

#include <optional>

#include "engine/FrameInput.hpp"
#include "model/Output.hpp"

namespace joywright {

// Whether pressInstruction first limits the strength to 0...1.
enum class StrengthLimit : std::uint8_t { clamped, unclamped };

// The instruction that starts or updates `output` at `strength` (0...1 after clamping; a value
// that is not a number counts as 0): keyDown, mouseDown, setMouseDX/DY (-strength to the left
// and up), setScrollDX/DY (strength x speed, negative left and up), or one scrollNotch (wheel1
// +1 up / -1 down, wheel2 +1 left / -1 right) whatever the strength. None for noop.
//   pressInstruction(moveMouse(up, 500), 1.7) == setMouseDY{-1, 500}
//   pressInstruction(moveMouse(up, 500), 1.7, unclamped) == setMouseDY{-1.7, 500}
std::optional<FrameInput> pressInstruction(const Output& output, float strength,
                                           StrengthLimit limit = StrengthLimit::clamped);

// The instruction that ends `output`: keyUp, mouseUp, resetMouseDX/DY, resetScrollDX/DY; none for
// a notched scroll and for noop.
std::optional<FrameInput> releaseInstruction(const Output& output);

// True for the outputs that carry a strength and are re-sent on every change while active:
// moveMouse and continuous scrollMouse. The others start once per activation.
bool followsStrength(const Output& output);

}  // namespace joywright

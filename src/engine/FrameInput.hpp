#pragma once

#include <cstdint>
#include <variant>

#include "model/KeyCombo.hpp"
#include "model/MouseButton.hpp"

namespace joywright {

// One engine instruction. Horizontal values are negative to the left, vertical values negative
// upwards; scroll velocities are pixels per second. scrollNotch wheels are already in posting
// sign: wheel1 vertical (positive scrolls up), wheel2 horizontal (positive scrolls left).
namespace frame_input {
struct KeyDown {
    KeyCombo combo;
    friend bool operator==(const KeyDown&, const KeyDown&) = default;
};
struct KeyUp {
    KeyCombo combo;
    friend bool operator==(const KeyUp&, const KeyUp&) = default;
};
struct MouseDown {
    MouseButton button;
    friend bool operator==(const MouseDown&, const MouseDown&) = default;
};
struct MouseUp {
    MouseButton button;
    friend bool operator==(const MouseUp&, const MouseUp&) = default;
};
// Horizontal stick component := magnitude (normally -1...1); horizontal speed := speed.
struct SetMouseDX {
    float magnitude;
    float speed;
    friend bool operator==(const SetMouseDX&, const SetMouseDX&) = default;
};
struct SetMouseDY {
    float magnitude;
    float speed;
    friend bool operator==(const SetMouseDY&, const SetMouseDY&) = default;
};
struct SetScrollDX {
    float velocity;
    friend bool operator==(const SetScrollDX&, const SetScrollDX&) = default;
};
struct SetScrollDY {
    float velocity;
    friend bool operator==(const SetScrollDY&, const SetScrollDY&) = default;
};
struct ScrollNotch {
    std::int32_t wheel1;
    std::int32_t wheel2;
    friend bool operator==(const ScrollNotch&, const ScrollNotch&) = default;
};
struct ResetMouseDX {
    friend bool operator==(const ResetMouseDX&, const ResetMouseDX&) = default;
};
struct ResetMouseDY {
    friend bool operator==(const ResetMouseDY&, const ResetMouseDY&) = default;
};
struct ResetScrollDX {
    friend bool operator==(const ResetScrollDX&, const ResetScrollDX&) = default;
};
struct ResetScrollDY {
    friend bool operator==(const ResetScrollDY&, const ResetScrollDY&) = default;
};
}  // namespace frame_input

using FrameInput =
    std::variant<frame_input::KeyDown, frame_input::KeyUp, frame_input::MouseDown,
                 frame_input::MouseUp, frame_input::SetMouseDX, frame_input::SetMouseDY,
                 frame_input::SetScrollDX, frame_input::SetScrollDY, frame_input::ScrollNotch,
                 frame_input::ResetMouseDX, frame_input::ResetMouseDY, frame_input::ResetScrollDX,
                 frame_input::ResetScrollDY>;

}  // namespace joywright

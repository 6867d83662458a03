// Helpers for the controller tests: instructions as short text, small mappings, and a fixture
// holding a fake gamepad and a listening frame.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "controller/ControllerSettings.hpp"
#include "controller/HandlerInstallation.hpp"
#include "engine/Frame.hpp"
#include "engine/FrameInput.hpp"
#include "fakes/FakeGamepad.hpp"
#include "model/Mapping.hpp"

namespace joywright::test {

inline std::string comboText(const KeyCombo& combo) {
    std::string text;
    for (ModifierKey m : combo.modifiers)
        text += std::string(persistedName(m)) + "+";
    return text + (combo.key ? std::string(caseName(*combo.key)) : "none");
}

inline std::string number(float value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", static_cast<double>(value));
    return buffer;
}

// One instruction as a short token: "+w" / "-w" (keys), "+mouse0" / "-mouse0", "dx(-1@500)",
// "dy(0.5@800)", "sx(-240)", "sy(240)", "notch(1,0)", "dx0", "dy0", "sx0", "sy0".
inline std::string token(const FrameInput& input) {
    using namespace frame_input;
    return std::visit(
        [](const auto& i) -> std::string {
            using T = std::decay_t<decltype(i)>;
            if constexpr (std::is_same_v<T, KeyDown>) return "+" + comboText(i.combo);
            if constexpr (std::is_same_v<T, KeyUp>) return "-" + comboText(i.combo);
            if constexpr (std::is_same_v<T, MouseDown>)
                return "+mouse" + std::to_string(i.button.buttonNumber());
            if constexpr (std::is_same_v<T, MouseUp>)
                return "-mouse" + std::to_string(i.button.buttonNumber());
            if constexpr (std::is_same_v<T, SetMouseDX>)
                return "dx(" + number(i.magnitude) + "@" + number(i.speed) + ")";
            if constexpr (std::is_same_v<T, SetMouseDY>)
                return "dy(" + number(i.magnitude) + "@" + number(i.speed) + ")";
            if constexpr (std::is_same_v<T, SetScrollDX>) return "sx(" + number(i.velocity) + ")";
            if constexpr (std::is_same_v<T, SetScrollDY>) return "sy(" + number(i.velocity) + ")";
            if constexpr (std::is_same_v<T, ScrollNotch>)
                return "notch(" + std::to_string(i.wheel1) + "," + std::to_string(i.wheel2) + ")";
            if constexpr (std::is_same_v<T, ResetMouseDX>) return "dx0";
            if constexpr (std::is_same_v<T, ResetMouseDY>) return "dy0";
            if constexpr (std::is_same_v<T, ResetScrollDX>) return "sx0";
            if constexpr (std::is_same_v<T, ResetScrollDY>) return "sy0";
            return "?";
        },
        input);
}

// Drains `frame` and gives its instructions as tokens joined by spaces; "" for none.
inline std::string drained(Frame& frame) {
    std::vector<FrameInput> inputs;
    frame.drain(inputs);
    std::string text;
    for (const auto& input : inputs)
        text += (text.empty() ? "" : " ") + token(input);
    return text;
}

// A mapping holding just `inputs` (every other input unbound), with the given stick modes.
inline Mapping mappingWith(std::initializer_list<Input> inputs,
                           ThumbstickMode leftMode = ThumbstickMode::smooth,
                           ThumbstickMode rightMode = ThumbstickMode::smooth) {
    Mapping mapping;
    mapping.name = "Test";
    mapping.inputs = inputs;
    mapping.leftThumbstickMode = leftMode;
    mapping.rightThumbstickMode = rightMode;
    return mapping;
}

inline Output key(KeyCode code) {
    return Output::pressKey({code, {}});
}

// The left stick's four directions bound to `output(direction)`.
inline Mapping leftStickMapping(Output (*output)(Direction), ThumbstickMode mode) {
    using enum InputName;
    return mappingWith({{leftThumbstickUp, output(Direction::up)},
                        {leftThumbstickDown, output(Direction::down)},
                        {leftThumbstickLeft, output(Direction::left)},
                        {leftThumbstickRight, output(Direction::right)}},
                       mode);
}

// W, S, A and D on the left stick's up, down, left and right.
inline Mapping wasdOnLeftStick(ThumbstickMode mode) {
    return leftStickMapping(
        [](Direction d) {
            using enum Direction;
            return key(d == up     ? KeyCode::w
                       : d == down ? KeyCode::s
                       : d == left ? KeyCode::a
                                   : KeyCode::d);
        },
        mode);
}

// A fake gamepad whose handlers append to a listening frame.
class GamepadTest : public ::testing::Test {
protected:
    GamepadTest() { frame.setListening(true); }

    void install(const Mapping& mapping, const ControllerSettings& settings = {}) {
        installHandlers(gamepad, mapping, settings, frame);
    }
    // Moves the left stick and gives what the move appended.
    std::string move(float x, float y) {
        gamepad.leftThumbstick().set(x, y);
        return drained(frame);
    }

    FakeGamepad gamepad;
    Frame frame;
};

}  // namespace joywright::test

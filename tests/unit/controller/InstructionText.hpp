#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "engine/Frame.hpp"
#include "engine/FrameInput.hpp"
#include "model/KeyCode.hpp"
#include "model/ModifierKey.hpp"

namespace joywright::test {

inline std::string comboText(const KeyCombo& combo) {
    std::string text;
    for (ModifierKey m : combo.modifiers)
        text += std::string(persistedName(m)) + "+";
    text += combo.key ? std::string(caseName(*combo.key)) : "none";
    return text;
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

// Tokens joined by spaces; "" for none.
inline std::string tokens(const std::vector<FrameInput>& inputs) {
    std::string text;
    for (const auto& input : inputs) {
        if (!text.empty()) text += " ";
        text += token(input);
    }
    return text;
}

// Drains `frame` and gives its instructions as tokens.
inline std::string drained(Frame& frame) {
    std::vector<FrameInput> inputs;
    frame.drain(inputs);
    return tokens(inputs);
}

}  // namespace joywright::test

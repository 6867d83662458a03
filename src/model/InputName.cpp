#include "model/InputName.hpp"

#include <algorithm>

namespace joywright {

namespace {

struct InputRow {
    InputName input;
    std::string_view title;
    std::string_view shortLabel;
    std::string_view symbolName;
    std::optional<InputCategory> category;
};

using C = InputCategory;
using I = InputName;

// One row per case, in declaration order.
constexpr std::array<InputRow, kInputNameCount> kInputs{{
    {I::rightThumbstickLeft, "R-Stick Left", "Left", "r.joystick.tilt.left.fill",
     C::rightThumbstick},
    {I::rightThumbstickRight, "R-Stick Right", "Right", "r.joystick.tilt.right.fill",
     C::rightThumbstick},
    {I::rightThumbstickUp, "R-Stick Up", "Up", "r.joystick.tilt.up.fill", C::rightThumbstick},
    {I::rightThumbstickDown, "R-Stick Down", "Down", "r.joystick.tilt.down.fill",
     C::rightThumbstick},
    {I::rightThumbstickButton, "R-Stick Button (R3)", "R3", "r.joystick.press.down.fill",
     C::rightThumbstick},
    {I::leftThumbstickLeft, "L-Stick Left", "Left", "l.joystick.tilt.left.fill", C::leftThumbstick},
    {I::leftThumbstickRight, "L-Stick Right", "Right", "l.joystick.tilt.right.fill",
     C::leftThumbstick},
    {I::leftThumbstickUp, "L-Stick Up", "Up", "l.joystick.tilt.up.fill", C::leftThumbstick},
    {I::leftThumbstickDown, "L-Stick Down", "Down", "l.joystick.tilt.down.fill", C::leftThumbstick},
    {I::leftThumbstickButton, "L-Stick Button (L3)", "L3", "l.joystick.press.down.fill",
     C::leftThumbstick},
    {I::dpadLeft, "D-Pad Left", "Left", "dpad.left.filled", C::dpad},
    {I::dpadRight, "D-Pad Right", "Right", "dpad.right.filled", C::dpad},
    {I::dpadUp, "D-Pad Up", "Up", "dpad.up.filled", C::dpad},
    {I::dpadDown, "D-Pad Down", "Down", "dpad.down.filled", C::dpad},
    {I::buttonA, "A", "A", "a.circle", C::buttons},
    {I::buttonB, "B", "B", "b.circle", C::buttons},
    {I::buttonX, "X", "X", "x.circle", C::buttons},
    {I::buttonY, "Y", "Y", "y.circle", C::buttons},
    {I::buttonStart, "Start", "Start", "plus.circle.fill", C::buttons},
    {I::buttonSelect, "Select", "Select", "minus.circle.fill", C::buttons},
    {I::buttonHome, "Home", "Home", "house.fill", std::nullopt},
    {I::leftTrigger, "L2 (Trigger)", "L2", "l.rectangle.roundedbottom.fill", C::buttons},
    {I::leftShoulder, "L1 (Shoulder)", "L1", "l.rectangle.roundedbottom", C::buttons},
    {I::rightTrigger, "R2 (Trigger)", "R2", "r.rectangle.roundedbottom.fill", C::buttons},
    {I::rightShoulder, "R1 (Shoulder)", "R1", "r.rectangle.roundedbottom", C::buttons},
}};

constexpr bool rowsInDeclarationOrder() {
    for (std::size_t i = 0; i < kInputs.size(); ++i)
        if (static_cast<std::size_t>(kInputs[i].input) != i) return false;
    return true;
}
static_assert(rowsInDeclarationOrder());

const InputRow& row(InputName input) {
    return kInputs[static_cast<std::size_t>(input)];
}

constexpr std::array<InputName, 10> kButtons{
    I::buttonA,      I::buttonB,      I::buttonX,       I::buttonY,     I::buttonStart,
    I::buttonSelect, I::rightTrigger, I::rightShoulder, I::leftTrigger, I::leftShoulder};
constexpr std::array<InputName, 5> kRightThumbstick{I::rightThumbstickUp, I::rightThumbstickDown,
                                                    I::rightThumbstickLeft, I::rightThumbstickRight,
                                                    I::rightThumbstickButton};
constexpr std::array<InputName, 5> kLeftThumbstick{I::leftThumbstickUp, I::leftThumbstickDown,
                                                   I::leftThumbstickLeft, I::leftThumbstickRight,
                                                   I::leftThumbstickButton};
constexpr std::array<InputName, 4> kDpad{I::dpadUp, I::dpadDown, I::dpadLeft, I::dpadRight};

}  // namespace

const std::array<InputName, kInputNameCount>& allInputNames() {
    static constexpr auto kAll = [] {
        std::array<InputName, kInputNameCount> all{};
        for (std::size_t i = 0; i < kInputs.size(); ++i)
            all[i] = kInputs[i].input;
        return all;
    }();
    return kAll;
}

const std::array<InputCategory, kInputCategoryCount>& allInputCategories() {
    static constexpr std::array<InputCategory, kInputCategoryCount> kAll{
        C::buttons, C::rightThumbstick, C::leftThumbstick, C::dpad};
    return kAll;
}

std::string_view title(InputName input) {
    return row(input).title;
}

std::optional<InputName> inputNameFromTitle(std::string_view text) {
    for (const auto& r : kInputs)
        if (r.title == text) return r.input;
    return std::nullopt;
}

std::string_view shortLabel(InputName input) {
    return row(input).shortLabel;
}
std::string_view symbolName(InputName input) {
    return row(input).symbolName;
}
std::optional<InputCategory> category(InputName input) {
    return row(input).category;
}

std::string_view title(InputCategory c) {
    switch (c) {
        case C::buttons:
            return "Buttons";
        case C::rightThumbstick:
            return "Right Thumbstick";
        case C::leftThumbstick:
            return "Left Thumbstick";
        case C::dpad:
            return "D-Pad";
    }
    return {};
}

std::optional<InputCategory> inputCategoryFromTitle(std::string_view text) {
    for (auto c : allInputCategories())
        if (title(c) == text) return c;
    return std::nullopt;
}

std::span<const InputName> inputs(InputCategory c) {
    switch (c) {
        case C::buttons:
            return kButtons;
        case C::rightThumbstick:
            return kRightThumbstick;
        case C::leftThumbstick:
            return kLeftThumbstick;
        case C::dpad:
            return kDpad;
    }
    return {};
}

const std::map<InputCategory, std::set<InputName>>& inputsByCategory() {
    static const auto table = [] {
        std::map<InputCategory, std::set<InputName>> t;
        for (auto c : allInputCategories()) {
            const auto list = inputs(c);
            t.emplace(c, std::set<InputName>(list.begin(), list.end()));
        }
        return t;
    }();
    return table;
}

bool isMember(InputName input, InputCategory c) {
    return category(input) == c;
}

}  // namespace joywright

#include "model/DefaultMappings.hpp"

#include <initializer_list>

namespace joywright {

namespace {

using I = InputName;
using K = KeyCode;
using M = ModifierKey;

Output key(KeyCode code, ModifierSet modifiers = {}) {
    return Output::pressKey(KeyCombo{code, modifiers});
}
Output move(Direction direction, float speed) {
    return Output::moveMouse(direction, speed);
}
Output scroll(Direction direction) {
    return Output::scrollMouse(direction, kDefaultSpeed, ScrollMouseMode::continuous);
}

// A new mapping: every input noop except those bound here.
Mapping build(std::string name, ThumbstickMode left, std::initializer_list<Input> bound) {
    Mapping mapping;
    mapping.id = newMappingID();
    mapping.name = std::move(name);
    mapping.inputs = normalizedInputs(std::span(bound.begin(), bound.size()));
    mapping.leftThumbstickMode = left;
    mapping.rightThumbstickMode = ThumbstickMode::smooth;
    return mapping;
}

}  // namespace

Mapping webSurfingMapping() {
    return build("Web surfing", ThumbstickMode::smooth,
                 {
                     {I::buttonA, key(K::g, {M::leftControl, M::leftShift})},
                     {I::buttonB, key(K::space, {M::leftControl})},
                     {I::rightThumbstickLeft, move(Direction::left, 800)},
                     {I::rightThumbstickRight, move(Direction::right, 800)},
                     {I::rightThumbstickUp, move(Direction::up, 800)},
                     {I::rightThumbstickDown, move(Direction::down, 800)},
                     {I::leftThumbstickLeft, scroll(Direction::left)},
                     {I::leftThumbstickRight, scroll(Direction::right)},
                     {I::leftThumbstickUp, scroll(Direction::up)},
                     {I::leftThumbstickDown, scroll(Direction::down)},
                     // Back and forward as Linux browsers understand them: Alt+Left, Alt+Right.
                     {I::dpadLeft, key(K::leftArrow, {M::leftOption})},
                     {I::dpadRight, key(K::rightArrow, {M::leftOption})},
                     {I::rightTrigger, Output::clickMouse(MouseButton::left())},
                     {I::leftTrigger, Output::clickMouse(MouseButton::right())},
                 });
}

Mapping firstPersonShooterMapping() {
    return build("First-person shooter", ThumbstickMode::eightWay,
                 {
                     {I::buttonB, key(K::space)},
                     {I::buttonY, key(K::r)},
                     {I::leftTrigger, Output::clickMouse(MouseButton::right())},
                     {I::rightTrigger, Output::clickMouse(MouseButton::left())},
                     {I::leftThumbstickUp, key(K::w)},
                     {I::leftThumbstickDown, key(K::s)},
                     {I::leftThumbstickLeft, key(K::a)},
                     {I::leftThumbstickRight, key(K::d)},
                     {I::rightThumbstickLeft, move(Direction::left, 1800)},
                     {I::rightThumbstickRight, move(Direction::right, 1800)},
                     {I::rightThumbstickUp, move(Direction::up, 1800)},
                     {I::rightThumbstickDown, move(Direction::down, 1800)},
                 });
}

Mapping dragonQuestBuilders1Mapping() {
    return build("Dragon Quest Builders 1", ThumbstickMode::eightWay,
                 {
                     {I::buttonA, key(K::c)},
                     {I::buttonB, key(K::x)},
                     {I::buttonX, key(K::v)},
                     {I::buttonY, key(K::z)},
                     {I::buttonStart, key(K::m)},
                     {I::buttonSelect, key(K::space)},
                     {I::leftThumbstickUp, key(K::w)},
                     {I::leftThumbstickDown, key(K::s)},
                     {I::leftThumbstickLeft, key(K::a)},
                     {I::leftThumbstickRight, key(K::d)},
                     {I::leftShoulder, key(K::q)},
                     {I::leftTrigger, key(K::r)},
                     {I::leftThumbstickButton, key(K::f)},
                     {I::dpadUp, key(K::u)},
                     {I::dpadDown, key(K::j)},
                     {I::dpadLeft, key(K::h)},
                     {I::dpadRight, key(K::k)},
                     {I::rightThumbstickLeft, move(Direction::left, 800)},
                     {I::rightThumbstickRight, move(Direction::right, 800)},
                     {I::rightThumbstickUp, move(Direction::up, 800)},
                     {I::rightThumbstickDown, move(Direction::down, 800)},
                     {I::rightThumbstickButton, key(K::g)},
                     {I::rightShoulder, key(K::e)},
                     {I::rightTrigger, key(K::t)},
                 });
}

std::vector<Mapping> defaultMappings() {
    std::vector<Mapping> mappings;
    mappings.push_back(webSurfingMapping());
    mappings.push_back(firstPersonShooterMapping());
    mappings.push_back(dragonQuestBuilders1Mapping());
    return mappings;
}

}  // namespace joywright

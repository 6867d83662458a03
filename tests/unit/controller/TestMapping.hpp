#pragma once

#include <initializer_list>

#include "model/Mapping.hpp"

namespace joywright::test {

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

}  // namespace joywright::test

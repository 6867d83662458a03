#include "model/Direction.hpp"

namespace joywright {

std::string_view caseName(Direction direction) {
    switch (direction) {
        case Direction::left:
            return "left";
        case Direction::right:
            return "right";
        case Direction::up:
            return "up";
        case Direction::down:
            return "down";
    }
    return {};
}

std::optional<Direction> directionFromCaseName(std::string_view name) {
    for (auto d : kAllDirections)
        if (caseName(d) == name) return d;
    return std::nullopt;
}

std::string_view rawValue(ThumbstickMode mode) {
    return mode == ThumbstickMode::smooth ? "smooth" : "eightWay";
}

std::optional<ThumbstickMode> thumbstickModeFromRawValue(std::string_view raw) {
    if (raw == "smooth") return ThumbstickMode::smooth;
    if (raw == "eightWay") return ThumbstickMode::eightWay;
    return std::nullopt;
}

std::string_view label(ThumbstickMode mode) {
    return mode == ThumbstickMode::smooth ? "Smooth" : "8-Way";
}

}  // namespace joywright

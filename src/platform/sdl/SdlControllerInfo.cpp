#include "platform/sdl/SdlControllerInfo.hpp"

#include <algorithm>

namespace joywright {

namespace {

constexpr float kAxisMax = 32767.0f;

}  // namespace

std::string_view productCategoryName(SDL_GameControllerType type) {
    for (const auto& row : kProductCategories) {
        if (row.type == type) return row.name;
    }
    return kUnknownProductCategory;
}

std::optional<float> batteryLevel(SDL_JoystickPowerLevel level) {
    switch (level) {
        case SDL_JOYSTICK_POWER_EMPTY:
            return 0.05f;
        case SDL_JOYSTICK_POWER_LOW:
            return 0.2f;
        case SDL_JOYSTICK_POWER_MEDIUM:
            return 0.7f;
        case SDL_JOYSTICK_POWER_FULL:
            return 1.0f;
        case SDL_JOYSTICK_POWER_UNKNOWN:
        case SDL_JOYSTICK_POWER_WIRED:
        case SDL_JOYSTICK_POWER_MAX:
            return std::nullopt;
    }
    return std::nullopt;
}

float normalizedTrigger(Sint16 raw) {
    return std::clamp(static_cast<float>(raw) / kAxisMax, 0.0f, 1.0f);
}

float normalizedStickAxis(Sint16 raw) {
    // -32768 is one step further than 32767; both ends reach exactly 1.
    return std::clamp(static_cast<float>(raw) / kAxisMax, -1.0f, 1.0f);
}

}  // namespace joywright

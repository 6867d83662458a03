#pragma once

#include <SDL.h>

#include <array>
#include <optional>
#include <string_view>

namespace joywright {

// What a person reads as the kind of a controller, by SDL's controller type; "Gamepad" when SDL
// cannot tell.
struct ProductCategoryRow {
    SDL_GameControllerType type;
    std::string_view name;
};

inline constexpr std::string_view kUnknownProductCategory = "Gamepad";

inline constexpr std::array<ProductCategoryRow, 14> kProductCategories{{
    {SDL_CONTROLLER_TYPE_UNKNOWN, kUnknownProductCategory},
    {SDL_CONTROLLER_TYPE_XBOX360, "Xbox 360"},
    {SDL_CONTROLLER_TYPE_XBOXONE, "Xbox One"},
    {SDL_CONTROLLER_TYPE_PS3, "DualShock 3"},
    {SDL_CONTROLLER_TYPE_PS4, "DualShock 4"},
    {SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_PRO, "Switch Pro Controller"},
    {SDL_CONTROLLER_TYPE_VIRTUAL, "Virtual Controller"},
    {SDL_CONTROLLER_TYPE_PS5, "DualSense"},
    {SDL_CONTROLLER_TYPE_AMAZON_LUNA, "Luna Controller"},
    {SDL_CONTROLLER_TYPE_GOOGLE_STADIA, "Stadia Controller"},
    {SDL_CONTROLLER_TYPE_NVIDIA_SHIELD, "SHIELD Controller"},
    {SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_JOYCON_LEFT, "Joy-Con (L)"},
    {SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_JOYCON_RIGHT, "Joy-Con (R)"},
    {SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_JOYCON_PAIR, "Joy-Con (L/R)"},
}};

std::string_view productCategoryName(SDL_GameControllerType type);

// Battery level 0...1 from SDL's coarse power level: the upper end of each band (empty 5 %,
// low 20 %, medium 70 %, full 100 %); none when unknown or wired.
std::optional<float> batteryLevel(SDL_JoystickPowerLevel level);

// A trigger axis (0...32767) as 0...1.
float normalizedTrigger(Sint16 raw);
// A stick axis (-32768...32767) as -1...1, in SDL's direction (y grows downwards).
float normalizedStickAxis(Sint16 raw);

}  // namespace joywright

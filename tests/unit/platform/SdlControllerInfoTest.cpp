#include "platform/sdl/SdlControllerInfo.hpp"

#include <gtest/gtest.h>

#include <set>

namespace joywright {
namespace {

TEST(ProductCategory, EveryControllerTypeHasOneReadableNameAndUnknownOnesAreGamepads) {
    std::set<int> types;
    std::set<std::string_view> names;
    for (const auto& row : kProductCategories) {
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(types.insert(row.type).second);
        EXPECT_TRUE(names.insert(row.name).second);
        EXPECT_FALSE(row.name.empty());
        EXPECT_EQ(productCategoryName(row.type), row.name);
    }
    // Every type SDL defines, from unknown to the last one this SDL knows.
    for (int type = SDL_CONTROLLER_TYPE_UNKNOWN;
         type <= SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_JOYCON_PAIR; ++type) {
        SCOPED_TRACE(type);
        EXPECT_TRUE(types.contains(type));
    }
    EXPECT_EQ(productCategoryName(SDL_CONTROLLER_TYPE_UNKNOWN), "Gamepad");
    EXPECT_EQ(productCategoryName(static_cast<SDL_GameControllerType>(
                  SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_JOYCON_PAIR + 1)),
              "Gamepad");
    // The names people know their controllers by.
    const std::pair<SDL_GameControllerType, std::string_view> known[] = {
        {SDL_CONTROLLER_TYPE_XBOXONE, "Xbox One"},
        {SDL_CONTROLLER_TYPE_PS4, "DualShock 4"},
        {SDL_CONTROLLER_TYPE_PS5, "DualSense"},
        {SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_PRO, "Switch Pro Controller"},
    };
    for (const auto& [type, name] : known)
        EXPECT_EQ(productCategoryName(type), name);
}

TEST(BatteryLevel, TakesTheTopOfEachBandAndNothingWhenUnknownOrWired) {
    const std::pair<SDL_JoystickPowerLevel, std::optional<float>> cases[] = {
        {SDL_JOYSTICK_POWER_UNKNOWN, std::nullopt},
        {SDL_JOYSTICK_POWER_EMPTY, 0.05f},
        {SDL_JOYSTICK_POWER_LOW, 0.2f},
        {SDL_JOYSTICK_POWER_MEDIUM, 0.7f},
        {SDL_JOYSTICK_POWER_FULL, 1.0f},
        {SDL_JOYSTICK_POWER_WIRED, std::nullopt},
        {SDL_JOYSTICK_POWER_MAX, std::nullopt},
    };
    for (const auto& [level, expected] : cases) {
        SCOPED_TRACE(level);
        EXPECT_EQ(batteryLevel(level), expected);
    }
}

TEST(AxisNormalisation, SticksReachBothEndsExactlyAndTriggersStayWithinZeroToOne) {
    EXPECT_EQ(normalizedStickAxis(-32768), -1.0f);
    EXPECT_EQ(normalizedStickAxis(-32767), -1.0f);
    EXPECT_EQ(normalizedStickAxis(0), 0.0f);
    EXPECT_EQ(normalizedStickAxis(32767), 1.0f);
    EXPECT_NEAR(normalizedStickAxis(16384), 0.5f, 1e-4f);
    EXPECT_EQ(normalizedTrigger(-5), 0.0f);
    EXPECT_EQ(normalizedTrigger(32767), 1.0f);
    EXPECT_NEAR(normalizedTrigger(8192), 0.25f, 1e-4f);
}

}  // namespace
}  // namespace joywright

#include <gtest/gtest.h>

#include "app/InputScanner.hpp"
#include "fakes/FakeGamepad.hpp"

namespace joywright {
namespace {

// Every alias of the table, on an element that carries only it, selects its input (sticks and
// the D-pad pushed fully up).
TEST(ScannedInput, EveryAliasOfTheTableSelectsItsInput) {
    FakeGamepad gamepad;
    gamepad.leftThumbstick().set(0, 1);
    gamepad.rightThumbstick().set(0, 1);
    gamepad.dpad().set(0, 1);
    for (const auto& entry : kScanAliases) {
        SCOPED_TRACE(std::string(entry.alias));
        FakeGamepadButton element(gamepad, std::string(entry.alias));
        const auto input = scannedInput(gamepad, element);
        switch (entry.target) {
            case ScanTarget::input:
                EXPECT_EQ(input, entry.input);
                break;
            case ScanTarget::leftThumbstick:
                EXPECT_EQ(input, InputName::leftThumbstickUp);
                break;
            case ScanTarget::rightThumbstick:
                EXPECT_EQ(input, InputName::rightThumbstickUp);
                break;
            case ScanTarget::dpad:
                EXPECT_EQ(input, InputName::dpadUp);
                break;
        }
    }
}

TEST(ScannedInput, FirstAliasOfTheTableWins) {
    FakeGamepad gamepad;
    FakeGamepadButton element(gamepad, "Left Thumbstick");
    element.setAliases({"Left Thumbstick", "Left Thumbstick Button"});
    EXPECT_EQ(scannedInput(gamepad, element), InputName::leftThumbstickButton);
    element.setAliases({"Something", "Button Home", "Button A"});
    EXPECT_EQ(scannedInput(gamepad, element), InputName::buttonA);
    element.setAliases({"Paddle 1"});
    EXPECT_EQ(scannedInput(gamepad, element), std::nullopt);
}

TEST(ScannedInput, DirectionNeedsHalfDeflectionTestedUpDownLeftRight) {
    FakeGamepad gamepad;
    auto& stick = gamepad.leftThumbstick();
    struct Case {
        float x, y;
        std::optional<InputName> input;
    };
    const Case cases[] = {
        {0, 0.4f, std::nullopt},
        {0, 0.5f, InputName::leftThumbstickUp},
        {0, -1, InputName::leftThumbstickDown},
        {-0.6f, 0, InputName::leftThumbstickLeft},
        {0.6f, 0, InputName::leftThumbstickRight},
        {0.9f, 0.9f, InputName::leftThumbstickUp},  // up is tested first
        {-0.9f, -0.9f, InputName::leftThumbstickDown},
        {0.49f, -0.49f, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + ", " + std::to_string(c.y));
        stick.set(c.x, c.y);
        EXPECT_EQ(scannedInput(gamepad, stick), c.input);
    }
    gamepad.dpad().set(-1, 0);
    EXPECT_EQ(scannedInput(gamepad, gamepad.dpad()), InputName::dpadLeft);
    gamepad.rightThumbstick().set(0, -1);
    EXPECT_EQ(scannedInput(gamepad, gamepad.rightThumbstick()), InputName::rightThumbstickDown);
}

}  // namespace
}  // namespace joywright

#include <gtest/gtest.h>

#include <limits>

#include "ControllerTestSupport.hpp"
#include "controller/OutputInstructions.hpp"

namespace joywright {
namespace {

std::string pressToken(const Output& output, float strength,
                       StrengthLimit limit = StrengthLimit::clamped) {
    const auto instruction = pressInstruction(output, strength, limit);
    return instruction ? test::token(*instruction) : "none";
}

TEST(OutputInstructions, EveryOutputKindStartsAndEndsWithItsInstruction) {
    using D = Direction;
    using M = ScrollMouseMode;
    struct Case {
        const char* name;
        Output output;
        float strength;
        const char* press;
        const char* release;
    };
    const Case cases[] = {
        {"noop", Output::noop(), 1.0f, "none", "none"},
        {"key", Output::pressKey({KeyCode::w, {ModifierKey::leftShift}}), 0.3f, "+leftShift+w",
         "-leftShift+w"},
        {"click", Output::clickMouse(MouseButton::right()), 0.3f, "+mouse1", "-mouse1"},
        {"click other", Output::clickMouse(MouseButton::other(4)), 1.0f, "+mouse4", "-mouse4"},
        {"move left", Output::moveMouse(D::left, 500), 0.5f, "dx(-0.5@500)", "dx0"},
        {"move right", Output::moveMouse(D::right, 800), 0.5f, "dx(0.5@800)", "dx0"},
        {"move up", Output::moveMouse(D::up, 500), 0.5f, "dy(-0.5@500)", "dy0"},
        {"move down", Output::moveMouse(D::down, 800), 0.5f, "dy(0.5@800)", "dy0"},
        {"scroll left", Output::scrollMouse(D::left, 300, M::continuous), 0.5f, "sx(-150)", "sx0"},
        {"scroll right", Output::scrollMouse(D::right, 300, M::continuous), 0.5f, "sx(150)", "sx0"},
        {"scroll up", Output::scrollMouse(D::up, 300, M::continuous), 0.5f, "sy(-150)", "sy0"},
        {"scroll down", Output::scrollMouse(D::down, 300, M::continuous), 0.5f, "sy(150)", "sy0"},
        {"notch left", Output::scrollMouse(D::left, 300, M::notched), 0.01f, "notch(0,1)", "none"},
        {"notch right", Output::scrollMouse(D::right, 300, M::notched), 1.0f, "notch(0,-1)",
         "none"},
        {"notch up", Output::scrollMouse(D::up, 300, M::notched), 0.7f, "notch(1,0)", "none"},
        {"notch down", Output::scrollMouse(D::down, 300, M::notched), 0.7f, "notch(-1,0)", "none"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(pressToken(c.output, c.strength), c.press);
        const auto release = releaseInstruction(c.output);
        EXPECT_EQ(release ? test::token(*release) : "none", c.release);
    }
}

TEST(OutputInstructions, ClampedStrengthStaysWithinZeroToOneAndIsStillQueued) {
    const Output up = Output::moveMouse(Direction::up, 500);
    EXPECT_EQ(pressToken(up, 1.7f), "dy(-1@500)");
    EXPECT_EQ(pressToken(up, -0.2f), "dy(-0@500)");
    EXPECT_EQ(pressToken(up, std::numeric_limits<float>::quiet_NaN()), "dy(-0@500)");
    EXPECT_EQ(pressToken(up, 1.7f, StrengthLimit::unclamped), "dy(-1.7@500)");
    const Output scroll = Output::scrollMouse(Direction::right, 200, ScrollMouseMode::continuous);
    EXPECT_EQ(pressToken(scroll, 3.0f), "sx(200)");
    EXPECT_EQ(pressToken(scroll, 3.0f, StrengthLimit::unclamped), "sx(600)");
}

}  // namespace
}  // namespace joywright

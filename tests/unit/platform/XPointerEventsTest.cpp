#include "platform/x11/XPointerEvents.hpp"

#include <gtest/gtest.h>

namespace joywright {
namespace {

struct ButtonCase {
    MouseButton button;
    std::optional<unsigned> x;
};

TEST(XButtonNumber, MapsEngineButtonsToXButtons) {
    const ButtonCase cases[] = {
        {MouseButton::left(), 1u},
        {MouseButton::right(), 3u},
        {MouseButton::center(), 2u},
        {MouseButton::other(0), 1u},
        {MouseButton::other(1), 3u},
        {MouseButton::other(2), 2u},
        {MouseButton::other(3), 8u},
        {MouseButton::other(4), 9u},
        {MouseButton::other(250), 255u},
        {MouseButton::other(251), std::nullopt},
        {MouseButton::other(4000000000u), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button.description());
        EXPECT_EQ(xButtonNumber(c.button), c.x);
    }
}

TEST(WheelClickAccumulator, PostsOneClickPerFiftyPixelsAndCarriesTheRest) {
    WheelClickAccumulator wheel;
    EXPECT_EQ(wheel.add(120), 2);
    EXPECT_EQ(wheel.pending(), 20);
    EXPECT_EQ(wheel.add(29), 0);
    EXPECT_EQ(wheel.add(1), 1);
    EXPECT_EQ(wheel.pending(), 0);
}

TEST(WheelClickAccumulator, KeepsTheSignOfTheRemainder) {
    WheelClickAccumulator wheel;
    EXPECT_EQ(wheel.add(-30), 0);
    EXPECT_EQ(wheel.add(-30), -1);
    EXPECT_EQ(wheel.pending(), -10);
    // Turning round first uses up what was pending the other way.
    EXPECT_EQ(wheel.add(40), 0);
    EXPECT_EQ(wheel.pending(), 30);
}

TEST(WheelClickAccumulator, SmallSteps) {
    // 1 px per frame, as slow continuous scrolling posts: a click every 50 frames.
    WheelClickAccumulator wheel;
    int clicks = 0;
    for (int frame = 0; frame < 149; ++frame)
        clicks += wheel.add(1);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(wheel.add(1), 1);
}

TEST(WheelClickAccumulator, ExtremeValuesDoNotOverflow) {
    WheelClickAccumulator wheel;
    EXPECT_EQ(wheel.add(INT32_MIN), INT32_MIN / 50);
    EXPECT_EQ(wheel.add(INT32_MAX), (INT32_MAX + static_cast<std::int64_t>(INT32_MIN % 50)) / 50);
}

}  // namespace
}  // namespace joywright

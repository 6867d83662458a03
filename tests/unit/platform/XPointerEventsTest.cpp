#include "platform/x11/XPointerEvents.hpp"

#include <gtest/gtest.h>

#include <vector>

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

// Each step adds pixels and expects the clicks they complete and what stays pending.
struct WheelStep {
    std::int32_t pixels;
    int clicks;
    std::int64_t pending;
};

TEST(WheelClickAccumulator, PostsOneClickPerFiftyPixelsAndCarriesTheSignedRest) {
    const std::pair<const char*, std::vector<WheelStep>> cases[] = {
        {"carries the rest", {{120, 2, 20}, {29, 0, 49}, {1, 1, 0}}},
        // Turning round first uses up what was pending the other way.
        {"keeps the sign", {{-30, 0, -30}, {-30, -1, -10}, {40, 0, 30}}},
        {"extremes",
         {{INT32_MIN, INT32_MIN / 50, INT32_MIN % 50},
          {INT32_MAX, (INT32_MAX + static_cast<std::int64_t>(INT32_MIN % 50)) / 50, 49}}},
    };
    for (const auto& [name, steps] : cases) {
        SCOPED_TRACE(name);
        WheelClickAccumulator wheel;
        for (const WheelStep& step : steps) {
            SCOPED_TRACE(step.pixels);
            EXPECT_EQ(wheel.add(step.pixels), step.clicks);
            EXPECT_EQ(wheel.pending(), step.pending);
        }
    }
    // 1 px per frame, as slow continuous scrolling posts: a click every 50 frames.
    WheelClickAccumulator wheel;
    int clicks = 0;
    for (int frame = 0; frame < 150; ++frame)
        clicks += wheel.add(1);
    EXPECT_EQ(clicks, 3);
}

}  // namespace
}  // namespace joywright

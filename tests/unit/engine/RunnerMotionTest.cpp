#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "RunnerHarness.hpp"
#include "support/Log.hpp"

namespace joywright {
namespace {

using test::RunnerHarness;
using test::Scenario;
namespace fi = frame_input;

Point cursorOf(RunnerHarness& h) {
    return h.display.cursor.value();
}

FrameInput dx(float magnitude, float speed) {
    return fi::SetMouseDX{magnitude, speed};
}
FrameInput dy(float magnitude, float speed) {
    return fi::SetMouseDY{magnitude, speed};
}

// One frame of 1/64 s from a fresh runner on a 1920x1080 screen.
TEST(RunnerMotion, OneFrameStepFollowsTheStickTheSpeedsTheCurveAndTheScreen) {
    struct Case {
        std::vector<FrameInput> send;
        const char* posted;
        Point start = {100, 100};
        std::optional<double> exponent = {};  // the default curve when none
    };
    const Case cases[] = {
        {{dx(1, 640)}, "move@(110,100)"},                      // full deflection: speed * frame
        {{dy(-1, 640)}, "move@(100,90)"},                      // no horizontal speed: x stays
        {{dx(0.5f, 640)}, "move@(102.5,100)"},                 // default curve: a quarter
        {{dx(0.5f, 640)}, "move@(105,100)", {100, 100}, 1},    // linear curve: a half
        {{dx(1, 640), dy(1, 640)}, "move@(107.071,107.071)"},  // no faster than full deflection
        {{dx(0.3f, 800), dx(-1, 500)}, "move@(92.1875,100)"},  // the last set wins, speed too
        {{dx(0, 0), dy(1, 640)}, "move@(100,110)"},            // zero speed on a still axis
        {{dx(1, 0), dy(1, 640)}, ""},                          // zero speed on a moving axis
        {{dx(1, 640), fi::ResetMouseDX{}}, ""},                // a reset stops the axis
        {{dx(1, 640)}, "", {1919, 500}},                       // clamped to the start screen
        {{dx(1, 640)}, "move@(1919,500)", {1915, 500}},
        {{dx(-1, 640)}, "move@(0,500)", {5, 500}},
        {{dx(-1, 640)}, "", {0, 500}},
        {{dy(1, 640)}, "move@(50,1079)", {50, 1075}},
        {{dy(-1, 640)}, "move@(50,0)", {50, 3}},
        {{dx(1, 640), dy(1, 640)}, "", {1919, 1079}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        RunnerHarness h;
        h.display.setCursor(c.start);
        h.startAndSettle();
        if (c.exponent) h.runner.setResponseCurve(ResponseCurve::exponential(*c.exponent));
        for (const auto& input : c.send)
            h.send(input);
        EXPECT_EQ(h.tickAndTake(), c.posted);
        EXPECT_EQ(h.runner.mouseTargetPos(), cursorOf(h));
        EXPECT_EQ(h.runner.mouseCurrentPos(), cursorOf(h));
    }
}

TEST(RunnerMotion, UnequalSpeedsPutFullDeflectionOnTheEllipse) {
    struct Case {
        float dx, dy;
    };
    constexpr Case cases[] = {{1, 0}, {0, 1}, {0.7071068f, 0.7071068f}, {-0.6f, 0.8f}, {0.2f, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy);
        RunnerHarness h;
        h.startAndSettle();
        h.send(dx(c.dx, 640)).send(dy(c.dy, 320));  // 10 and 5 points
        h.tick();
        const double x = cursorOf(h).x - 100, y = cursorOf(h).y - 100;
        EXPECT_NEAR((x / 10) * (x / 10) + (y / 5) * (y / 5), 1, 1e-6);
        // The step keeps the stick's direction; only its length depends on the two speeds.
        EXPECT_NEAR(std::atan2(y, x), std::atan2(double{c.dy}, double{c.dx}), 1e-6);
    }
}

// Full deflection at 600 points and 600 px/s, then a key queued just before a frame of `dt`:
// a normal frame applies it and moves at most 1/30 s worth; any other frame changes nothing but
// the clock (frames over 0.25 s, with a log line), and the key waits for the next frame.
TEST(RunnerMotion, FrameDurationDecidesWhatATickDoes) {
    struct Case {
        double dt;
        const char* posted;
        const char* logged;
    };
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {0.05, "+a(0x100) move@(129.375,100) scroll(-20,0)", nullptr},
        {0.25, "+a(0x100) move@(129.375,100) scroll(-20,0)", nullptr},
        {0.2501, "", "Ignoring large deltaTime 0.250s (> 0.250s)"},
        {0.3, "", "Ignoring large deltaTime 0.300s (> 0.250s)"},
        {3600, "", "Ignoring large deltaTime 3600.000s (> 0.250s)"},
        {0, "", nullptr},
        {-0.01, "", nullptr},
        {kNaN, "", nullptr},
        {kInf, "", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dt);
        RunnerHarness h;
        h.startAndSettle();
        h.send(dx(1, 600)).send(fi::SetScrollDY{600});
        EXPECT_EQ(h.tickAndTake(), "move@(109.375,100) scroll(-9,0)");
        h.send(test::keyDown(KeyCode::a));
        const double before = h.runner.elapsed();
        ScopedLogCapture capture;
        EXPECT_EQ(h.tickAndTake(c.dt), c.posted);
        const bool advances = *c.posted != '\0' || c.logged != nullptr;
        EXPECT_DOUBLE_EQ(h.runner.elapsed(), before + (advances ? c.dt : 0));
        const auto lines = capture->lines();
        ASSERT_EQ(lines.size(), c.logged ? 1u : 0u);
        if (c.logged) {
            EXPECT_EQ(lines[0].message, c.logged);
            EXPECT_EQ(lines[0].level, LogLevel::error);
            EXPECT_EQ(lines[0].category, LogCategory::runner);
        }
        // The stick stays deflected and the queued key is applied by the next normal frame.
        if (*c.posted == '\0') {
            EXPECT_EQ(h.tickAndTake(), "+a(0x100) move@(118.75,100) scroll(-9,0)");
        }
    }
}

TEST(RunnerMotion, DiscontinuityRereadsTheCursorAndDropsFractions) {
    RunnerHarness h;
    h.startAndSettle();
    h.runner.setUseRelativeMouse(true);
    h.send(dx(1, 25.6f)).send(fi::SetScrollDY{32});  // 0.4 point, 0.5 pixel a frame
    h.tick();
    EXPECT_GT(h.runner.relativeMouseAccumulator().dx, 0.3);
    EXPECT_EQ(h.runner.scrollAccumulator().dy, 0.5);
    h.display.setCursor({500, 600});
    h.tick(1.5);
    EXPECT_EQ(h.runner.mouseTargetPos(), (Point{500, 600}));
    EXPECT_EQ(h.runner.mouseCurrentPos(), (Point{500, 600}));
    EXPECT_EQ(h.runner.relativeMouseAccumulator(), (Vector{0, 0}));
    EXPECT_EQ(h.runner.scrollAccumulator(), (Vector{0, 0}));
    EXPECT_EQ(h.tickAndTake(), "");  // 0.4 point and 0.5 pixel again: nothing whole yet
}

// What a user notices: the pointer covers the same distance per second whatever the refresh.
TEST(RunnerMotion, PointerTravelsEquallyFarPerSecondAtAnyRefreshRate) {
    for (double hz : {60.0, 144.0, 250.0}) {
        for (bool wholePointCursor : {false, true}) {
            for (float deflection : {1.0f, 0.3f}) {
                SCOPED_TRACE(testing::Message() << hz << " Hz, whole points " << wholePointCursor
                                                << ", deflection " << deflection);
                RunnerHarness h;
                h.display.wholePointCursor = wholePointCursor;
                h.display.setCursor({200, 1000});
                h.startAndSettle();
                h.send(dx(deflection, 600)).send(dy(-deflection, 600));
                h.ticks(static_cast<int>(hz), 1.0 / hz);
                const double shaped = std::min(std::pow(deflection * std::sqrt(2.0), 2), 1.0);
                const double perAxis = 600 * shaped / std::sqrt(2.0);
                EXPECT_NEAR(cursorOf(h).x - 200, perAxis, 1.0);
                EXPECT_NEAR(1000 - cursorOf(h).y, perAxis, 1.0);
            }
        }
    }
}

TEST(RunnerMotion, SlowMotionStillMovesAWholePointCursor) {
    RunnerHarness h;
    h.display.wholePointCursor = true;
    h.startAndSettle();
    h.send(dx(1, 19.2f));  // 0.3 point per frame
    h.ticks(64);
    EXPECT_EQ(cursorOf(h).x, 119);
}

TEST(RunnerMotion, FollowsExternalMovesAndCarriesRelativeFractions) {
    const Scenario scenarios[] = {{"a move by something else is followed",
                                   {{{dx(1, 640)}, "move@(110,100)"},
                                    {.posted = "move@(710,300)", .cursor = Point{700, 300}}}},
                                  {"relative mode posts whole points and carries the signed rest",
                                   {{{dx(1, 25.6f)}, ""},  // 0.4 point a frame
                                    {{}, ""},
                                    {{}, "rel(1,0)"},
                                    {{dx(-1, 25.6f)}, ""},  // 0.2 - 0.4 = -0.2
                                    {{}, ""},               // -0.6
                                    {{}, "rel(-1,0)"},
                                    {{dx(1, 640), dy(1, 640)}, "rel(7,7)"}},
                                   true}};
    RunnerHarness::playAll(scenarios);
}

// Frames of 1/64 s: 32 px/s is half a pixel a frame.
TEST(RunnerScroll, PostsWholePixelsAndCarriesSignedRemainders) {
    const Scenario scenarios[] = {
        {"slow scroll posts one pixel every second frame",
         {{{fi::SetScrollDY{32}}, ""}, {{}, "scroll(-1,0)"}, {{}, ""}, {{}, "scroll(-1,0)"}}},
        {"a reset discards the pending fraction",
         {{{fi::SetScrollDY{32}}, ""},
          {{fi::ResetScrollDY{}, fi::SetScrollDY{32}}, ""},
          {{}, "scroll(-1,0)"}}},
        {"signs are negated into wheel counts; remainders keep their sign",
         {{{fi::SetScrollDY{-48}, fi::SetScrollDX{-64}}, "scroll(0,1)"},
          {{}, "scroll(1,1) scroll(1,1) scroll(1,1)", 3},  // -0.75 a frame: -3 after four
          {{fi::ResetScrollDX{}, fi::SetScrollDY{48}}, ""},
          {{}, "scroll(-1,0)"},
          {{}, "scroll(-1,0)"}}},
        {"notches are posted at once",
         {{{fi::ScrollNotch{1, 0}, fi::ScrollNotch{0, -1}}, "notch(1,0) notch(0,-1)"}}},
        {"a huge velocity saturates instead of overflowing",
         {{{fi::SetScrollDY{std::numeric_limits<float>::max()}}, "scroll(-2147483647,0)"}}},
    };
    RunnerHarness::playAll(scenarios);
}

}  // namespace
}  // namespace joywright

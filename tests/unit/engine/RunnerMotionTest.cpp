#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "RunnerHarness.hpp"
#include "support/Log.hpp"

namespace joywright {
namespace {

using test::RunnerHarness;
namespace fi = frame_input;

Point cursorOf(RunnerHarness& h) {
    return h.display.cursor.value();
}

TEST(RunnerMotion, FullDeflectionForOneFrameMovesSpeedTimesFrame) {
    RunnerHarness h;
    h.startAndSettle();
    h.send(fi::SetMouseDX{1, 640});
    EXPECT_EQ(h.tickAndTake(), "move@(110,100)");
    EXPECT_EQ(h.runner.mouseTargetPos(), (Point{110, 100}));
    EXPECT_EQ(h.runner.mouseCurrentPos(), (Point{110, 100}));
    h.send(fi::SetMouseDY{-1, 640}).send(fi::ResetMouseDX{});
    EXPECT_EQ(h.tickAndTake(), "move@(110,90)");
}

TEST(RunnerMotion, HalfDeflectionWithTheDefaultCurveMovesAQuarter) {
    RunnerHarness h;
    h.startAndSettle();
    h.send(fi::SetMouseDX{0.5f, 640});
    EXPECT_EQ(h.tickAndTake(), "move@(102.5,100)");
    h.runner.setResponseCurve(ResponseCurve::exponential(1.0));
    EXPECT_EQ(h.tickAndTake(), "move@(107.5,100)");
}

TEST(RunnerMotion, StickBeyondTheUnitCircleMovesNoFasterThanFullDeflection) {
    RunnerHarness h;
    h.startAndSettle();
    h.send(fi::SetMouseDX{1, 640}).send(fi::SetMouseDY{1, 640});
    h.tick();
    const Point p = cursorOf(h);
    EXPECT_NEAR(std::hypot(p.x - 100, p.y - 100), 10, 1e-9);
    EXPECT_NEAR(p.x - 100, p.y - 100, 1e-9);
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
        h.send(fi::SetMouseDX{c.dx, 640}).send(fi::SetMouseDY{c.dy, 320});  // 10 and 5 points
        h.tick();
        const Point p = cursorOf(h);
        const double x = p.x - 100, y = p.y - 100;
        EXPECT_NEAR((x / 10) * (x / 10) + (y / 5) * (y / 5), 1, 1e-6);
        // The step keeps the stick's direction; only its length depends on the two speeds.
        EXPECT_NEAR(std::atan2(y, x), std::atan2(double{c.dy}, double{c.dx}), 1e-6);
    }
}

TEST(RunnerMotion, AnAxisWithoutASpeedDoesNotMoveButDoesNotStopTheOther) {
    RunnerHarness h;
    h.startAndSettle();
    h.send(fi::SetMouseDY{1, 640});
    EXPECT_EQ(h.tickAndTake(), "move@(100,110)");
    EXPECT_EQ(h.runner.hSpeed(), std::nullopt);
}

TEST(RunnerMotion, ZeroSpeedStopsMotionWithoutPostingNonsense) {
    RunnerHarness h;
    h.startAndSettle();
    h.send(fi::SetMouseDX{0, 0}).send(fi::SetMouseDY{1, 640});
    EXPECT_EQ(h.tickAndTake(), "move@(100,110)");
    h.send(fi::SetMouseDX{1, 0});
    EXPECT_EQ(h.tickAndTake(), "");
}

TEST(RunnerMotion, LastSetWinsAndAResetKeepsTheSpeed) {
    RunnerHarness h;
    h.startAndSettle();
    h.send(fi::SetMouseDX{0.3f, 800}).send(fi::SetMouseDX{-1, 500});
    h.tick();
    EXPECT_EQ(h.runner.mouseVector(), (Vector{-1, 0}));
    EXPECT_EQ(h.runner.hSpeed(), 500);
    h.send(fi::ResetMouseDX{});
    EXPECT_EQ(h.tickAndTake(), "");
    EXPECT_EQ(h.runner.mouseVector(), (Vector{0, 0}));
    EXPECT_EQ(h.runner.hSpeed(), 500);
    h.send(fi::SetMouseDX{1, 640});
    h.tick();
    EXPECT_EQ(h.runner.hSpeed(), 640);
}

TEST(RunnerMotion, LongNormalFrameMovesAtMostOneThirtiethOfASecond) {
    RunnerHarness h;
    h.startAndSettle();
    h.send(fi::SetMouseDX{1, 600}).send(fi::SetMouseDY{0, 600});
    const double before = h.runner.elapsed();
    h.tick(0.05);
    EXPECT_NEAR(cursorOf(h).x - 100, 20, 1e-9);
    EXPECT_DOUBLE_EQ(h.runner.elapsed(), before + 0.05);
}

TEST(RunnerMotion, ExactlyAQuarterSecondIsANormalFrame) {
    RunnerHarness h;
    h.startAndSettle();
    h.send(fi::SetMouseDX{1, 600});
    ScopedLogCapture capture;
    h.tick(0.25);
    EXPECT_NEAR(cursorOf(h).x - 100, 20, 1e-9);
    EXPECT_TRUE(capture->lines().empty());
}

TEST(RunnerMotion, LongerFrameIsADiscontinuityThatLogsAndKeepsTheQueue) {
    RunnerHarness h;
    h.startAndSettle();
    h.send(fi::SetMouseDX{1, 600});
    h.tick();
    h.synth.take();
    h.send(fi::KeyDown{RunnerHarness::combo(KeyCode::a)});
    ScopedLogCapture capture;
    const double before = h.runner.elapsed();
    EXPECT_EQ(h.tickAndTake(0.2501), "");
    EXPECT_DOUBLE_EQ(h.runner.elapsed(), before + 0.2501);
    const auto lines = capture->lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].message, "Ignoring large deltaTime 0.250s (> 0.250s)");
    EXPECT_EQ(lines[0].level, LogLevel::error);
    EXPECT_EQ(lines[0].category, LogCategory::runner);
    // The stick stays deflected; the queued key is applied by the next tick.
    EXPECT_EQ(h.runner.mouseVector(), (Vector{1, 0}));
    EXPECT_EQ(h.tickAndTake(1.0 / 60), "+a(0x100) move@(119.375,100)");
}

TEST(RunnerMotion, DiscontinuityRereadsTheCursorAndDropsFractions) {
    RunnerHarness h;
    h.startAndSettle();
    h.runner.setUseRelativeMouse(true);
    h.send(fi::SetMouseDX{1, 25.6f}).send(fi::SetScrollDY{32});  // 0.4 point, 0.5 pixel a frame
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

TEST(RunnerMotion, NothingMovesAtZeroNegativeOrLongFrames) {
    constexpr double kDeltas[] = {0.0,
                                  -0.01,
                                  0.2500001,
                                  0.3,
                                  2.0,
                                  3600,
                                  std::numeric_limits<double>::quiet_NaN(),
                                  std::numeric_limits<double>::infinity()};
    for (double dt : kDeltas) {
        SCOPED_TRACE(dt);
        RunnerHarness h;
        h.startAndSettle();
        h.send(fi::SetMouseDX{1, 600}).send(fi::SetScrollDY{600});
        h.tick();
        h.synth.take();
        ScopedLogCapture capture;
        EXPECT_EQ(h.tickAndTake(dt), "");
        EXPECT_EQ(cursorOf(h).x, h.runner.mouseTargetPos().x);
        EXPECT_TRUE(std::isfinite(h.runner.elapsed()));
    }
}

TEST(RunnerMotion, ZeroFrameChangesNothingAtAll) {
    RunnerHarness h;
    h.startAndSettle();
    h.send(fi::KeyDown{RunnerHarness::combo(KeyCode::a)});
    h.tick(0);
    EXPECT_EQ(h.synth.take(), "");
    EXPECT_EQ(h.runner.elapsed(), 0);
    EXPECT_EQ(h.tickAndTake(), "+a(0x100)");
}

struct TravelCase {
    double hz;
    bool wholePointCursor;
    float deflection;
};

// What a user notices: the pointer covers the same distance per second whatever the refresh.
TEST(RunnerMotion, PointerTravelsEquallyFarPerSecondAtAnyRefreshRate) {
    constexpr TravelCase cases[] = {
        {60, false, 1},     {144, false, 1},  {250, false, 1},   {60, true, 1},
        {144, true, 1},     {250, true, 1},   {60, false, 0.3f}, {144, false, 0.3f},
        {250, false, 0.3f}, {60, true, 0.3f}, {144, true, 0.3f}, {250, true, 0.3f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.hz << " Hz, whole points " << c.wholePointCursor
                                        << ", deflection " << c.deflection);
        RunnerHarness h;
        h.display.wholePointCursor = c.wholePointCursor;
        h.display.setCursor({200, 1000});
        h.startAndSettle();
        h.send(fi::SetMouseDX{c.deflection, 600}).send(fi::SetMouseDY{-c.deflection, 600});
        h.ticks(static_cast<int>(c.hz), 1.0 / c.hz);
        const double expected = 600 * std::pow(c.deflection * std::sqrt(2.0), 2) / std::sqrt(2.0);
        const double perAxis = std::min(expected, 600 / std::sqrt(2.0));
        EXPECT_NEAR(cursorOf(h).x - 200, perAxis, 1.0);
        EXPECT_NEAR(1000 - cursorOf(h).y, perAxis, 1.0);
    }
}

TEST(RunnerMotion, SlowMotionStillMovesAWholePointCursor) {
    RunnerHarness h;
    h.display.wholePointCursor = true;
    h.startAndSettle();
    h.send(fi::SetMouseDX{1, 19.2f});  // 0.3 point per frame
    h.ticks(64);
    EXPECT_EQ(cursorOf(h).x, 119);
}

TEST(RunnerMotion, ExternalMovesAreFollowed) {
    RunnerHarness h;
    h.startAndSettle();
    h.send(fi::SetMouseDX{1, 640});
    h.tick();
    h.display.setCursor({700, 300});
    EXPECT_EQ(h.tickAndTake(), "move@(710,300)");
}

TEST(RunnerMotion, CursorStaysOnTheStartScreen) {
    struct Case {
        Point start;
        float dx, dy;
        const char* posted;
    };
    const Case cases[] = {
        {{1919, 500}, 1, 0, ""},
        {{1915, 500}, 1, 0, "move@(1919,500)"},
        {{5, 500}, -1, 0, "move@(0,500)"},
        {{0, 500}, -1, 0, ""},
        {{50, 1075}, 0, 1, "move@(50,1079)"},
        {{50, 3}, 0, -1, "move@(50,0)"},
        {{1919, 1079}, 1, 1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.posted);
        RunnerHarness h;
        h.display.setCursor(c.start);
        h.startAndSettle();
        h.send(fi::SetMouseDX{c.dx, 640}).send(fi::SetMouseDY{c.dy, 640});
        EXPECT_EQ(h.tickAndTake(), c.posted);
    }
}

TEST(RunnerMotion, RelativeModePostsWholePointsAndCarriesTheRest) {
    RunnerHarness h;
    h.startAndSettle();
    h.runner.setUseRelativeMouse(true);
    h.send(fi::SetMouseDX{1, 25.6f});  // 0.4 point a frame
    EXPECT_EQ(h.tickAndTake(), "");
    EXPECT_EQ(h.tickAndTake(), "");
    EXPECT_EQ(h.tickAndTake(), "rel(1,0)");
    h.send(fi::SetMouseDX{-1, 25.6f});
    EXPECT_EQ(h.tickAndTake(), "");  // 0.2 - 0.4 = -0.2
    EXPECT_EQ(h.tickAndTake(), "");  // -0.6
    EXPECT_EQ(h.tickAndTake(), "rel(-1,0)");
    h.runner.setRelativeMouseAccumulator({});
    h.send(fi::SetMouseDX{1, 640}).send(fi::SetMouseDY{1, 640});
    EXPECT_EQ(h.tickAndTake(), "rel(7,7)");
}

TEST(RunnerScroll, SlowScrollPostsOnePixelEverySecondFrame) {
    RunnerHarness h;
    h.startAndSettle();
    h.send(fi::SetScrollDY{32});  // half a pixel a frame, downwards
    EXPECT_EQ(h.tickAndTake(), "");
    EXPECT_EQ(h.tickAndTake(), "scroll(-1,0)");
    EXPECT_EQ(h.tickAndTake(), "");
    EXPECT_EQ(h.tickAndTake(), "scroll(-1,0)");
}

TEST(RunnerScroll, ResetDiscardsThePendingFraction) {
    RunnerHarness h;
    h.startAndSettle();
    h.send(fi::SetScrollDY{32});
    EXPECT_EQ(h.tickAndTake(), "");
    h.send(fi::ResetScrollDY{}).send(fi::SetScrollDY{32});
    EXPECT_EQ(h.tickAndTake(), "");
    EXPECT_EQ(h.tickAndTake(), "scroll(-1,0)");
}

TEST(RunnerScroll, SignsAreNegatedIntoWheelCountsAndRemaindersKeepTheirSign) {
    RunnerHarness h;
    h.startAndSettle();
    h.send(fi::SetScrollDY{-48}).send(fi::SetScrollDX{-64});
    EXPECT_EQ(h.tickAndTake(), "scroll(0,1)");
    EXPECT_EQ(h.tickAndTake(), "scroll(1,1)");
    EXPECT_EQ(h.tickAndTake(), "scroll(1,1)");
    EXPECT_EQ(h.tickAndTake(), "scroll(1,1)");
    EXPECT_EQ(h.runner.scrollAccumulator(), (Vector{0, 0}));
    h.send(fi::ResetScrollDX{}).send(fi::SetScrollDY{48});
    EXPECT_EQ(h.tickAndTake(), "");
    EXPECT_EQ(h.runner.scrollAccumulator().dy, 0.75);
}

TEST(RunnerScroll, NotchesArePostedAtOnceInLineUnits) {
    RunnerHarness h;
    h.startAndSettle();
    h.send(fi::ScrollNotch{1, 0}).send(fi::ScrollNotch{0, -1});
    EXPECT_EQ(h.tickAndTake(), "notch(1,0) notch(0,-1)");
}

TEST(RunnerScroll, HugeVelocitySaturatesInsteadOfOverflowing) {
    RunnerHarness h;
    h.startAndSettle();
    h.send(fi::SetScrollDY{std::numeric_limits<float>::max()});
    EXPECT_EQ(h.tickAndTake(), "scroll(-2147483647,0)");
}

}  // namespace
}  // namespace joywright

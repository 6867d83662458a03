#include <gtest/gtest.h>

#include <cmath>

#include "RunnerHarness.hpp"
#include "support/Log.hpp"

namespace joywright {
namespace {

using test::RunnerHarness;
namespace fi = frame_input;

TEST(RunnerMouseButtons, ThreeQuickLeftClicksAtOnePointCountUpThenStartOver) {
    RunnerHarness h;
    h.startAndSettle();
    for (int i = 0; i < 4; ++i)
        h.send(fi::MouseDown{MouseButton::left()}).send(fi::MouseUp{MouseButton::left()});
    EXPECT_EQ(h.tickAndTake(),
              "+mouse0@(100,100)x1 -mouse0@(100,100)x1 +mouse0@(100,100)x2 -mouse0@(100,100)x2 "
              "+mouse0@(100,100)x3 -mouse0@(100,100)x3 +mouse0@(100,100)x1 -mouse0@(100,100)x1");
}

TEST(RunnerMouseButtons, ClickCountNeedsTheSamePointTheSameButtonAndTheInterval) {
    RunnerHarness h;  // double-click interval 0.5 s
    h.startAndSettle();
    const auto click = [&](MouseButton b) {
        h.send(fi::MouseDown{b}).send(fi::MouseUp{b});
        return h.tickAndTake();
    };
    EXPECT_EQ(click(MouseButton::left()), "+mouse0@(100,100)x1 -mouse0@(100,100)x1");
    h.display.setCursor({101, 100});
    EXPECT_EQ(click(MouseButton::left()), "+mouse0@(101,100)x1 -mouse0@(101,100)x1");
    EXPECT_EQ(click(MouseButton::left()), "+mouse0@(101,100)x2 -mouse0@(101,100)x2");
    EXPECT_EQ(click(MouseButton::right()), "+mouse1@(101,100)x1 -mouse1@(101,100)x1");
    EXPECT_EQ(click(MouseButton::right()), "+mouse1@(101,100)x1 -mouse1@(101,100)x1");
    // A right click just before does not make this left press a double click.
    EXPECT_EQ(click(MouseButton::left()), "+mouse0@(101,100)x1 -mouse0@(101,100)x1");
    h.ticks(31);  // the next press lands exactly one interval later: still a double click
    EXPECT_EQ(click(MouseButton::left()), "+mouse0@(101,100)x2 -mouse0@(101,100)x2");
    h.ticks(32);  // one frame more than the interval
    EXPECT_EQ(click(MouseButton::left()), "+mouse0@(101,100)x1 -mouse0@(101,100)x1");
}

TEST(RunnerMouseButtons, PressLogsTheClickCount) {
    RunnerHarness h;
    h.startAndSettle();
    ScopedLogCapture capture;
    h.send(fi::MouseDown{MouseButton::left()}).send(fi::MouseUp{MouseButton::left()});
    h.send(fi::MouseDown{MouseButton::left()});
    h.tick();
    const auto lines = capture->lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].message, "Mouse clicks: 2");
    EXPECT_EQ(lines[1].level, LogLevel::debug);
    EXPECT_EQ(lines[1].category, LogCategory::input);
}

TEST(RunnerMouseButtons, MovesDragLeftWhileHeldElseTheLatestHeldButton) {
    RunnerHarness h;
    h.startAndSettle();
    h.send(fi::MouseDown{MouseButton::right()}).send(fi::MouseDown{MouseButton::left()});
    h.send(fi::SetMouseDX{1, 640});
    EXPECT_EQ(h.tickAndTake(), "+mouse1@(100,100)x1 +mouse0@(100,100)x1 drag0@(110,100)");
    h.send(fi::MouseUp{MouseButton::left()});
    EXPECT_EQ(h.tickAndTake(), "-mouse0@(110,100)x1 drag1@(120,100)");
    h.send(fi::MouseDown{MouseButton::other(4)});
    EXPECT_EQ(h.tickAndTake(), "+mouse4@(120,100)x1 drag4@(130,100)");
    h.send(fi::MouseUp{MouseButton::other(4)}).send(fi::MouseUp{MouseButton::right()});
    EXPECT_EQ(h.tickAndTake(), "-mouse4@(130,100)x1 -mouse1@(130,100)x1 move@(140,100)");
}

TEST(RunnerMouseButtons, ButtonEventsUseTheCursorWhereverItIsNow) {
    RunnerHarness h;
    h.startAndSettle();
    h.display.setCursor({300, 40});
    h.send(fi::MouseDown{MouseButton::center()});
    EXPECT_EQ(h.tickAndTake(), "+mouse2@(300,40)x1");
    EXPECT_EQ(h.runner.mouseTargetPos(), (Point{300, 40}));
    EXPECT_EQ(h.runner.mouseCurrentPos(), (Point{300, 40}));
}

TEST(ClickCounter, OnlyConsecutiveLeftPressesCountAndAResetStartsFromNothing) {
    ClickCounter counter(0.4);
    EXPECT_EQ(counter.press(MouseButton::left(), {5, 5}, 1.0), 1);
    EXPECT_EQ(counter.press(MouseButton::left(), {5, 5}, 1.4), 2);
    EXPECT_EQ(counter.press(MouseButton::left(), {5, 5}, 1.5), 3);
    EXPECT_EQ(counter.press(MouseButton::left(), {5, 5}, 1.6), 1);
    EXPECT_EQ(counter.press(MouseButton::left(), {5, 5}, 1.7), 2);
    // Another button's press in between breaks the series.
    EXPECT_EQ(counter.press(MouseButton::other(0), {5, 5}, 1.8), 1);
    EXPECT_EQ(counter.press(MouseButton::left(), {5, 5}, 1.9), 1);
    counter.reset();
    EXPECT_EQ(counter.count(), 0);
    EXPECT_EQ(counter.prevPoint(), (Point{0, 0}));
    EXPECT_EQ(counter.prevTime(), 0);
    EXPECT_EQ(counter.press(MouseButton::left(), {5, 5}, 2.0), 1);
}

TEST(DraggedMouseButtons, KeepsPressOrderWithoutDuplicatesAndPrefersLeft) {
    DraggedMouseButtons dragging;
    EXPECT_EQ(dragging.dragButton(), std::nullopt);
    dragging.add(MouseButton::right());
    dragging.add(MouseButton::other(1));  // not equal to right
    dragging.add(MouseButton::right());
    ASSERT_EQ(dragging.buttons().size(), 2u);
    EXPECT_EQ(dragging.dragButton(), MouseButton::other(1));
    dragging.add(MouseButton::left());
    dragging.add(MouseButton::center());
    EXPECT_EQ(dragging.dragButton(), MouseButton::left());
    dragging.remove(MouseButton::left());
    EXPECT_EQ(dragging.dragButton(), MouseButton::center());
    dragging.remove(MouseButton::center());
    dragging.remove(MouseButton::other(1));
    EXPECT_EQ(dragging.dragButton(), MouseButton::right());
}

}  // namespace
}  // namespace joywright

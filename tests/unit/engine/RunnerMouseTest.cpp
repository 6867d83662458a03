#include <gtest/gtest.h>

#include "RunnerHarness.hpp"
#include "support/Log.hpp"

namespace joywright {
namespace {

using test::RunnerHarness;
using test::Scenario;
namespace fi = frame_input;

const MouseButton kLeft = MouseButton::left();
const MouseButton kRight = MouseButton::right();

std::vector<FrameInput> click(MouseButton b, int times = 1) {
    std::vector<FrameInput> inputs;
    for (int i = 0; i < times; ++i)
        inputs.insert(inputs.end(), {fi::MouseDown{b}, fi::MouseUp{b}});
    return inputs;
}

// Double-click interval 0.5 s = 32 frames of 1/64 s; the cursor starts at (100, 100).
TEST(RunnerMouseButtons, ClickStatesAndDragsFollowTheHeldButtons) {
    const auto clicked = [](int n, int count) {  // a click at (101, 100)
        const auto t = std::to_string(n) + "@(101,100)x" + std::to_string(count);
        return "+mouse" + t + " -mouse" + t;
    };
    const Scenario scenarios[] = {
        {"three quick left clicks at one point count up, then start over",
         {{click(kLeft, 4),
           "+mouse0@(100,100)x1 -mouse0@(100,100)x1 +mouse0@(100,100)x2 -mouse0@(100,100)x2 "
           "+mouse0@(100,100)x3 -mouse0@(100,100)x3 +mouse0@(100,100)x1 -mouse0@(100,100)x1"}}},
        {"only left presses at the same point within the interval count up",
         {{click(kLeft), "+mouse0@(100,100)x1 -mouse0@(100,100)x1"},
          {.send = click(kLeft), .posted = clicked(0, 1), .cursor = Point{101, 100}},
          {click(kLeft), clicked(0, 2)},
          // other(0) shares left's number but is another button: it ends the series.
          {click(MouseButton::other(0)), clicked(0, 1)},
          {click(kLeft), clicked(0, 1)},
          {click(kRight), clicked(1, 1)},
          {click(kRight), clicked(1, 1)},
          {click(kLeft), clicked(0, 1)},
          {{}, "", 31},
          {click(kLeft), clicked(0, 2)},  // exactly one interval later
          {{}, "", 32},
          {click(kLeft), clicked(0, 1)}}},
        {"moves drag left while it is held, else the latest held button",
         {{{fi::MouseDown{kRight}, fi::MouseDown{kLeft}, fi::SetMouseDX{1, 640}},
           "+mouse1@(100,100)x1 +mouse0@(100,100)x1 drag0@(110,100)"},
          {{fi::MouseUp{kLeft}}, "-mouse0@(110,100)x1 drag1@(120,100)"},
          {{fi::MouseDown{MouseButton::other(4)}}, "+mouse4@(120,100)x1 drag4@(130,100)"},
          {{fi::MouseUp{MouseButton::other(4)}, fi::MouseUp{kRight}},
           "-mouse4@(130,100)x1 -mouse1@(130,100)x1 move@(140,100)"}}},
        {"buttons and moves use the cursor wherever it is now",
         {{.send = {fi::MouseDown{MouseButton::center()}, fi::SetMouseDX{1, 640}},
           .posted = "+mouse2@(300,40)x1 drag2@(310,40)",
           .cursor = Point{300, 40}}}},
    };
    RunnerHarness::playAll(scenarios);
}

TEST(RunnerMouseButtons, PressLogsTheClickCount) {
    RunnerHarness h;
    h.startAndSettle();
    ScopedLogCapture capture;
    h.send(fi::MouseDown{kLeft}).send(fi::MouseUp{kLeft}).send(fi::MouseDown{kLeft});
    h.tick();
    const auto lines = capture->lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].message, "Mouse clicks: 2");
    EXPECT_EQ(lines[1].level, LogLevel::debug);
    EXPECT_EQ(lines[1].category, LogCategory::input);
}

TEST(ClickCounter, OnlyConsecutiveLeftPressesCountAndAResetStartsFromNothing) {
    ClickCounter counter(0.4);
    constexpr double kTimes[] = {1.0, 1.4, 1.5, 1.6, 1.7};
    constexpr int kCounts[] = {1, 2, 3, 1, 2};
    for (std::size_t i = 0; i < std::size(kTimes); ++i)
        EXPECT_EQ(counter.press(kLeft, {5, 5}, kTimes[i]), kCounts[i]) << "press " << i;
    // Another button's press in between breaks the series.
    EXPECT_EQ(counter.press(MouseButton::other(0), {5, 5}, 1.8), 1);
    EXPECT_EQ(counter.press(kLeft, {5, 5}, 1.9), 1);
    counter.reset();
    EXPECT_EQ(counter.count(), 0);
    EXPECT_EQ(counter.press(kLeft, {5, 5}, 2.0), 1);
}

TEST(DraggedMouseButtons, KeepsPressOrderWithoutDuplicatesAndPrefersLeft) {
    DraggedMouseButtons dragging;
    EXPECT_EQ(dragging.dragButton(), std::nullopt);
    dragging.add(kRight);
    dragging.add(MouseButton::other(1));  // not equal to right
    dragging.add(kRight);
    ASSERT_EQ(dragging.buttons().size(), 2u);
    EXPECT_EQ(dragging.dragButton(), MouseButton::other(1));
    dragging.add(kLeft);
    dragging.add(MouseButton::center());
    EXPECT_EQ(dragging.dragButton(), kLeft);
    dragging.remove(kLeft);
    EXPECT_EQ(dragging.dragButton(), MouseButton::center());
    dragging.remove(MouseButton::center());
    dragging.remove(MouseButton::other(1));
    EXPECT_EQ(dragging.dragButton(), kRight);
}

}  // namespace
}  // namespace joywright

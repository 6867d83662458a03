#include <gtest/gtest.h>

#include <array>
#include <random>
#include <set>

#include "RunnerHarness.hpp"
#include "support/Log.hpp"

namespace joywright {
namespace {

using enum ModifierKey;
using test::RunnerHarness;
namespace fi = frame_input;

using test::keyDown;
using test::keyUp;

TEST(RunnerLifecycle, StoppedRunnerDropsInstructionsAndIgnoresTicks) {
    RunnerHarness h;
    h.send(keyDown(KeyCode::a));
    h.runner.tick(1.0 / 60);
    EXPECT_FALSE(h.runner.isRunning());
    EXPECT_EQ(h.runner.elapsed(), 0);
    h.startAndSettle();
    EXPECT_EQ(h.tickAndTake(), "");
}

TEST(RunnerLifecycle, StartPicksTheScreenUnderTheCursorElseTheMainScreen) {
    struct Case {
        std::optional<Point> cursor;
        std::size_t screen;
    };
    const std::array<Screen, 3> screens{{{.frame = {0, 0, 1920, 1080}, .refreshRate = 60},
                                         {.frame = {1920, 0, 2560, 1440}, .refreshRate = 144},
                                         {.frame = {-1280, -200, 1280, 1024}, .refreshRate = 75}}};
    const Case cases[] = {
        {Point{2000, 50}, 1}, {Point{-1, -200}, 2},   {Point{0, 0}, 0},  {Point{1919.5, 10}, 0},
        {Point{1920, 10}, 1}, {Point{5000, 5000}, 0}, {std::nullopt, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "screen " << c.screen);
        RunnerHarness h;
        h.display.screenList.assign(screens.begin(), screens.end());
        h.display.cursor = c.cursor;
        h.runner.start();
        ASSERT_TRUE(h.runner.isRunning());
        ASSERT_TRUE(h.display.linkScreen);
        const auto& f = screens[c.screen].frame;
        EXPECT_EQ(h.display.linkScreen->frame, f);
        EXPECT_EQ(h.runner.width(), (ClosedRange{f.minX(), f.maxX() - 1}));
        EXPECT_EQ(h.runner.height(), (ClosedRange{f.minY(), f.maxY() - 1}));
        EXPECT_EQ(h.runner.mouseTargetPos(), c.cursor.value_or(Point{}));
    }
}

TEST(RunnerLifecycle, WithoutAScreenStartStaysStoppedAndSaysSo) {
    RunnerHarness h;
    h.display.screenList.clear();
    ScopedLogCapture capture;
    h.runner.start();
    EXPECT_FALSE(h.runner.isRunning());
    EXPECT_FALSE(h.runner.frame().isListening());
    EXPECT_EQ(h.display.linksMade, 0);
    ASSERT_EQ(capture->lines().size(), 1u);
    EXPECT_EQ(capture->lines()[0].message, "No screen to run on; the mapping does not start");
    h.runner.stop();
    EXPECT_EQ(h.synth.take(), "");
}

TEST(RunnerLifecycle, WithoutADisplayLinkTheRunnerStillRunsAndListensAndSaysSo) {
    RunnerHarness h;
    h.display.canMakeDisplayLink = false;
    ScopedLogCapture capture;
    h.runner.start();
    EXPECT_TRUE(h.runner.isRunning());
    EXPECT_TRUE(h.runner.frame().isListening());
    EXPECT_FALSE(h.runner.hasDisplayLink());
    EXPECT_EQ(capture->lines().size(), 1u);
    h.send(keyDown(KeyCode::a));
    h.runner.stop();
    EXPECT_EQ(h.synth.take(), "");
    h.display.canMakeDisplayLink = true;
    h.startAndSettle();
    EXPECT_EQ(h.tickAndTake(), "");  // the earlier instruction was cleared, never replayed
}

TEST(RunnerLifecycle, NarrowScreenClampsToItsOrigin) {
    RunnerHarness h;
    h.display.screenList = {Screen{.frame = {10, 20, 0.5, 0}}};
    h.display.setCursor({10, 20});
    h.startAndSettle();
    EXPECT_EQ(h.runner.width(), (ClosedRange{10, 10}));
    EXPECT_EQ(h.runner.height(), (ClosedRange{20, 20}));
    h.send(fi::SetMouseDX{1, 640});
    EXPECT_EQ(h.tickAndTake(), "");
}

TEST(RunnerLifecycle, StartTwiceMakesOneLinkStopEndsTheTicksAndRestartZeroesTheClock) {
    RunnerHarness h;
    h.runner.start();
    h.runner.start();
    EXPECT_EQ(h.display.linksMade, 1);
    EXPECT_TRUE(h.display.linkRunning());
    h.ticks(10);
    h.runner.stop();
    EXPECT_FALSE(h.display.linkRunning());
    EXPECT_FALSE(h.runner.hasDisplayLink());
    EXPECT_FALSE(h.runner.frame().isListening());
    EXPECT_FALSE(h.display.tick(1.0 / 60));
    h.runner.start();
    EXPECT_EQ(h.runner.elapsed(), 0);
}

TEST(RunnerLifecycle, StopReleasesHeldKeysModifiersAndButtons) {
    RunnerHarness h;
    h.startAndSettle();
    h.send(keyDown(KeyCode::a, {leftShift})).send(keyDown(KeyCode::play));
    h.send(fi::MouseDown{MouseButton::right()});
    h.send(fi::SetMouseDX{1, 640}).send(fi::SetScrollDY{100});
    h.tick();
    h.synth.take();
    h.runner.stop();
    EXPECT_EQ(h.synth.take(), "-a(0x20102) -play(0x100b00) -leftShift(0x0) -mouse1@(110,100)x0");
    EXPECT_TRUE(h.synth.nothingHeld()) << h.synth.describeHeld();
    EXPECT_EQ(h.synth.upsWhileNotHeld, 0);

    h.runner.stop();
    EXPECT_EQ(h.synth.take(), "");

    h.startAndSettle();
    h.ticks(100);
    EXPECT_EQ(h.synth.take(), "");  // no motion, no scrolling, no repeats carried over
}

TEST(RunnerLifecycle, ResetReleasesEverythingAndDropsTheQueueButKeepsRunningAndTheClock) {
    RunnerHarness h;
    h.startAndSettle();
    h.runner.setUseRelativeMouse(true);
    h.runner.setResponseCurve(ResponseCurve::exponential(1.5));
    h.send(keyDown(KeyCode::w, {leftCommand})).send(keyDown(KeyCode::w));
    h.send(fi::MouseDown{MouseButton::left()}).send(fi::MouseDown{MouseButton::other(5)});
    h.send(fi::SetMouseDX{0.5f, 640}).send(fi::SetMouseDY{0.5f, 320}).send(fi::SetScrollDX{10});
    h.tick();
    h.synth.take();
    const double elapsed = h.runner.elapsed();

    h.send(keyDown(KeyCode::a));      // queued before the reset: dropped
    h.display.setCursor({100, 100});  // button releases go where the cursor is now
    h.runner.reset();
    EXPECT_EQ(h.synth.take(),
              "-w(0x100108) -leftCommand(0x0) -mouse0@(100,100)x0 -mouse5@(100,100)x0");
    EXPECT_TRUE(h.synth.nothingHeld()) << h.synth.describeHeld();
    EXPECT_EQ(h.runner.elapsed(), elapsed);
    EXPECT_TRUE(h.runner.useRelativeMouse());
    EXPECT_EQ(h.runner.responseCurve(), ResponseCurve::exponential(1.5));
    EXPECT_EQ(h.runner.scrollAccumulator(), (Vector{}));
    EXPECT_EQ(h.runner.relativeMouseAccumulator(), (Vector{}));
    EXPECT_EQ(h.runner.hSpeed(), std::nullopt);
    EXPECT_EQ(h.runner.vSpeed(), std::nullopt);
    EXPECT_EQ(h.runner.clickCounter().count(), 0);

    // Still running. The second holder of w lets go after the reset: a stray key-up, but nothing
    // is stuck, and nothing moves, scrolls or repeats.
    h.send(keyUp(KeyCode::w));
    EXPECT_EQ(h.tickAndTake(), "-w(0x100)");
    h.ticks(64);
    EXPECT_EQ(h.synth.take(), "");
}

TEST(RunnerLifecycle, DestroyingARunningRunnerReleasesWhatItHolds) {
    FakeDisplay display;
    RecordingSynthesizer synth;
    {
        Runner runner(synth, display);
        runner.start();
        runner.frame().append(keyDown(KeyCode::z, {rightControl}));
        display.tick(1.0 / 60);
    }
    EXPECT_EQ(synth.joined(), "+rightControl(0x42000) +z(0x42100) -z(0x42100) -rightControl(0x0)");
    EXPECT_FALSE(display.linkRunning());
}

// Several inputs sharing keys and modifiers, pressed and released in random interleavings with
// resets, stops and odd frame durations: after every tick the posted events hold exactly what
// the engine counts as held (and only those keys are scheduled to repeat), a stop leaves nothing
// down, and nothing is released twice.
TEST(RunnerLifecycle, RandomInterleavingsNeverLeaveAnythingHeld) {
    struct Input {
        FrameInput down, up;
    };
    const auto key = [](std::optional<KeyCode> k, ModifierSet m) {
        return Input{keyDown(k, m), keyUp(k, m)};
    };
    const auto button = [](MouseButton b) { return Input{fi::MouseDown{b}, fi::MouseUp{b}}; };
    const std::vector<Input> inputs = {key(KeyCode::a, {leftShift}),
                                       key(KeyCode::a, {}),
                                       key(std::nullopt, {leftShift}),
                                       key(std::nullopt, {leftShift, leftCommand}),
                                       key(KeyCode::w, {leftCommand}),
                                       key(KeyCode::w, {}),
                                       key(KeyCode::w, {rightOption, leftShift}),
                                       key(KeyCode::b, {rightControl}),
                                       key(KeyCode::soundUp, {}),
                                       key(KeyCode::play, {leftControl}),
                                       key(KeyCode::upArrow, {leftControl, rightCommand}),
                                       key(KeyCode::capsLock, {}),
                                       button(MouseButton::left()),
                                       button(MouseButton::right()),
                                       button(MouseButton::other(7))};
    constexpr double kDeltas[] = {1.0 / 250, 1.0 / 144, 1.0 / 60, 0.05, 0, 0.3};
    const auto expectPostedMatchesCounts = [](const RunnerHarness& h) {
        std::set<std::uint16_t> keys;
        for (auto k : h.runner.heldKeys().activeKeys())
            if (!isSystemKey(k)) keys.insert(rawValue(k));
        EXPECT_EQ(h.runner.keyRepeatScheduler().size(), keys.size());  // system keys never repeat
        for (auto m : h.runner.modifiers().activeKeys())
            keys.insert(rawValue(keyCode(m)));
        std::set<std::uint32_t> buttons;
        for (const auto& b : h.runner.dragging().buttons())
            buttons.insert(b.buttonNumber());
        EXPECT_EQ(h.synth.heldKeyCodes, keys);
        EXPECT_EQ(h.synth.heldButtons, buttons);
    };

    for (unsigned seed = 1; seed <= 200 && !HasFailure(); ++seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        std::mt19937 random(seed);
        RunnerHarness h;
        h.runner.start();
        std::vector<bool> pressed(inputs.size(), false);
        for (int op = 0; op < 300 && !HasFailure(); ++op) {
            SCOPED_TRACE(testing::Message() << "op " << op);
            const auto choice = random() % 100;
            if (choice < 70) {
                const auto i = random() % inputs.size();
                h.send(pressed[i] ? inputs[i].up : inputs[i].down);
                pressed[i] = !pressed[i];
            } else if (choice < 95) {
                h.tick(kDeltas[random() % std::size(kDeltas)]);
                expectPostedMatchesCounts(h);
            } else if (choice < 98) {
                h.runner.reset();
                pressed.assign(inputs.size(), false);
            } else {
                h.runner.stop();
                EXPECT_TRUE(h.synth.nothingHeld()) << h.synth.describeHeld();
                h.runner.start();
                pressed.assign(inputs.size(), false);
            }
            if (op % 10 == 0) {
                h.display.setCursor(
                    {static_cast<double>(random() % 1920), static_cast<double>(random() % 1080)});
            }
        }
        h.tick();
        h.runner.stop();
        EXPECT_TRUE(h.synth.nothingHeld()) << h.synth.describeHeld();
        EXPECT_EQ(h.synth.upsWhileNotHeld, 0);
        EXPECT_EQ(h.synth.modifierDownsWhileHeld, 0);
    }
}

}  // namespace
}  // namespace joywright

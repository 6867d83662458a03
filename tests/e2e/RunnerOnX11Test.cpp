#include <linux/input-event-codes.h>

#include "E2eFixtures.hpp"
#include "engine/Runner.hpp"
#include "platform/qt/QtMainLoop.hpp"
#include "platform/x11/X11Display.hpp"
#include "platform/x11/XTestEventSynthesizer.hpp"

namespace joywright::e2e {
namespace {

using namespace std::chrono_literals;
using Tokens = std::vector<std::string>;

// The engine driving the real X11 parts on the Qt loop, as the application wires them.
class RunnerOnX11Test : public XServerTest {
protected:
    void SetUp() override {
        XServerTest::SetUp();
        if (HasFatalFailure()) return;
        observer->setPointerAcceleration(false);
        observer->warpPointer(100, 500);
        display = std::make_unique<X11Display>(connection, loop);
        display->setTickHook([this] { ++hookRuns; });
        synthesizer = std::make_unique<XTestEventSynthesizer>(connection);
        runner = std::make_unique<Runner>(*synthesizer, *display);
        runner->start();
        ASSERT_TRUE(runner->isRunning());
    }

    void TearDown() override { runner.reset(); }

    // Spins the Qt loop (which ticks the engine) until the observer sees `expected`.
    bool arrive(const Tokens& expected) {
        return runUntil([&] {
            observer->poll();
            return observer->tokens() == expected;
        });
    }

    QtMainLoop loop;
    std::unique_ptr<X11Display> display;
    std::unique_ptr<XTestEventSynthesizer> synthesizer;
    std::unique_ptr<Runner> runner;
    int hookRuns = 0;
};

TEST_F(RunnerOnX11Test, AQueuedComboArrivesWithItsModifiersAtTheNextTick) {
    const KeyCombo combo{KeyCode::g, {ModifierKey::leftControl, ModifierKey::leftShift}};
    runner->frame().append(frame_input::KeyDown{combo});
    EXPECT_TRUE(arrive(
        {keyToken(KEY_LEFTSHIFT, true), keyToken(KEY_LEFTCTRL, true), keyToken(KEY_G, true)}))
        << ::testing::PrintToString(observer->tokens());
    runner->frame().append(frame_input::KeyUp{combo});
    EXPECT_TRUE(arrive({keyToken(KEY_LEFTSHIFT, true), keyToken(KEY_LEFTCTRL, true),
                        keyToken(KEY_G, true), keyToken(KEY_G, false),
                        keyToken(KEY_LEFTSHIFT, false), keyToken(KEY_LEFTCTRL, false)}))
        << ::testing::PrintToString(observer->tokens());
    EXPECT_GT(hookRuns, 0);
}

TEST_F(RunnerOnX11Test, StoppingReleasesEverythingHeld) {
    runner->frame().append(frame_input::KeyDown{KeyCombo{KeyCode::a, {ModifierKey::rightOption}}});
    runner->frame().append(frame_input::MouseDown{MouseButton::left()});
    EXPECT_TRUE(
        arrive({keyToken(KEY_RIGHTALT, true), keyToken(KEY_A, true), buttonToken(1, true)}));
    EXPECT_FALSE(observer->nothingHeld());
    runner->stop();
    EXPECT_TRUE(observer->waitUntilNothingHeld());
}

TEST_F(RunnerOnX11Test, AStickMovesThePointerBySpeedTimesTime) {
    constexpr double speed = 800;  // points per second at full deflection
    const auto from = observer->pointer();
    runner->frame().append(frame_input::SetMouseDX{1.0f, static_cast<float>(speed)});
    const auto started = std::chrono::steady_clock::now();
    runUntil([] { return false; }, 400ms);
    runner->frame().append(frame_input::ResetMouseDX{});
    const double held =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    runUntil([] { return false; }, 20ms);
    const auto to = observer->pointer();
    EXPECT_EQ(to.y, from.y);
    EXPECT_NEAR(to.x - from.x, speed * held, 0.1 * speed * held);
}

TEST_F(RunnerOnX11Test, ScrollingArrivesAsWheelClicksInTheRightDirection) {
    runner->frame().append(frame_input::ScrollNotch{1, 0});
    runner->frame().append(frame_input::ScrollNotch{0, -1});
    EXPECT_TRUE(arrive({buttonToken(4, true), buttonToken(4, false), buttonToken(7, true),
                        buttonToken(7, false)}));
    observer->clear();
    // Continuous downward scrolling at 1000 px/s: a click every 50 px, all of them downwards.
    runner->frame().append(frame_input::SetScrollDY{1000});
    runUntil([&] {
        observer->poll();
        return observer->tokens().size() >= 6;
    });
    runner->frame().append(frame_input::ResetScrollDY{});
    const Tokens tokens = observer->tokens();
    ASSERT_GE(tokens.size(), 6u);
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        EXPECT_EQ(tokens[i], buttonToken(5, i % 2 == 0));
    }
}

}  // namespace
}  // namespace joywright::e2e

// The first-person shooter default mapping, driven through the fake gamepad into a running
// engine, checked by the events the engine posts.
#include <gtest/gtest.h>

#include <algorithm>

#include "controller/ControllerSettings.hpp"
#include "controller/HandlerInstallation.hpp"
#include "engine/Runner.hpp"
#include "fakes/FakeDisplay.hpp"
#include "fakes/FakeGamepad.hpp"
#include "fakes/RecordingSynthesizer.hpp"
#include "model/DefaultMappings.hpp"
#include "support/Log.hpp"

namespace joywright {
namespace {

constexpr double kRefresh = 1.0 / 60.0;
constexpr std::uint16_t kW = static_cast<std::uint16_t>(KeyCode::w);

class FirstPersonShooterRun : public ::testing::Test {
protected:
    FirstPersonShooterRun() {
        synthesizer.display = &display;
        display.cursor = Point{960, 540};
        runner.start();
        installHandlers(gamepad, firstPersonShooterMapping(), ControllerSettings{}, runner.frame());
    }

    std::vector<std::string> ticks(int count) {
        display.tick(kRefresh, count);
        std::vector<std::string> tokens = synthesizer.tokens;
        synthesizer.take();
        return tokens;
    }

    static int countWithPrefix(const std::vector<std::string>& tokens, std::string_view prefix) {
        return static_cast<int>(std::count_if(tokens.begin(), tokens.end(), [&](const auto& t) {
            return std::string_view(t).starts_with(prefix);
        }));
    }

    ScopedLogCapture log;  // the engine's debug lines
    RecordingSynthesizer synthesizer;
    FakeDisplay display;
    Runner runner{synthesizer, display};
    FakeGamepad gamepad;
};

TEST_F(FirstPersonShooterRun, LeftStickUpHoldsAndRepeatsW) {
    ASSERT_TRUE(runner.isRunning());
    gamepad.leftThumbstick().set(0.05f, 0.95f);
    const auto pressed = ticks(1);
    ASSERT_EQ(countWithPrefix(pressed, "+w("), 1) << testing::PrintToString(pressed);
    EXPECT_TRUE(synthesizer.heldKeyCodes.contains(kW));

    // A thumb wobbling inside the up sector neither releases nor presses W again.
    gamepad.leftThumbstick().set(-0.1f, 0.9f);
    gamepad.leftThumbstick().set(0.1f, 1.0f);
    const auto held = ticks(60);  // one second: past the repeat delay
    EXPECT_EQ(countWithPrefix(held, "+w("), 0);
    EXPECT_EQ(countWithPrefix(held, "-w("), 0);
    EXPECT_GT(countWithPrefix(held, "*w("), 5);
    EXPECT_TRUE(synthesizer.heldKeyCodes.contains(kW));

    gamepad.leftThumbstick().centre();
    const auto released = ticks(1);
    EXPECT_EQ(countWithPrefix(released, "-w("), 1);
    EXPECT_TRUE(synthesizer.nothingHeld()) << synthesizer.describeHeld();
    EXPECT_EQ(ticks(30), std::vector<std::string>{});
}

TEST_F(FirstPersonShooterRun, RightStickMovesThePointerOnlyWhilePushed) {
    ASSERT_EQ(ticks(5), std::vector<std::string>{});
    gamepad.rightThumbstick().set(1.0f, 0.0f);
    const auto moving = ticks(30);
    EXPECT_GE(countWithPrefix(moving, "move@"), 25);
    ASSERT_TRUE(display.cursor);
    EXPECT_GT(display.cursor->x, 960 + 100);
    EXPECT_EQ(display.cursor->y, 540);

    gamepad.rightThumbstick().set(0.0f, 1.0f);  // straight up: y decreases
    ticks(10);
    EXPECT_LT(display.cursor->y, 540);

    gamepad.rightThumbstick().set(0.02f, 0.01f);  // back inside the dead zone
    ticks(1);
    const Point resting = *display.cursor;
    EXPECT_EQ(countWithPrefix(ticks(30), "move@"), 0);
    EXPECT_EQ(*display.cursor, resting);
}

TEST_F(FirstPersonShooterRun, TriggersClickOncePerPull) {
    gamepad.rightTrigger().set(0.6f);
    gamepad.rightTrigger().set(1.0f);  // deeper, still one press
    EXPECT_EQ(countWithPrefix(ticks(1), "+mouse0@"), 1);
    gamepad.rightTrigger().set(0.1f);
    EXPECT_EQ(countWithPrefix(ticks(1), "-mouse0@"), 1);

    gamepad.leftTrigger().set(0.3f);
    EXPECT_EQ(countWithPrefix(ticks(1), "+mouse1@"), 1);
    gamepad.leftTrigger().set(0.25f);
    EXPECT_EQ(countWithPrefix(ticks(1), "-mouse1@"), 1);
    EXPECT_TRUE(synthesizer.nothingHeld()) << synthesizer.describeHeld();
}

TEST_F(FirstPersonShooterRun, PlayingEverythingAtOnceLeavesNothingHeld) {
    gamepad.leftThumbstick().set(0.7f, 0.7f);
    gamepad.rightThumbstick().set(-0.5f, -0.5f);
    gamepad.rightTrigger().press();
    gamepad.leftTrigger().press();
    gamepad.buttonB().press();
    ticks(45);
    EXPECT_FALSE(synthesizer.nothingHeld());

    gamepad.leftThumbstick().centre();
    gamepad.rightThumbstick().centre();
    gamepad.rightTrigger().release();
    gamepad.leftTrigger().release();
    gamepad.buttonB().release();
    ticks(1);
    EXPECT_TRUE(synthesizer.nothingHeld()) << synthesizer.describeHeld();
    EXPECT_EQ(synthesizer.upsWhileNotHeld, 0);
    EXPECT_EQ(synthesizer.modifierDownsWhileHeld, 0);
    EXPECT_EQ(ticks(30), std::vector<std::string>{});
}

}  // namespace
}  // namespace joywright

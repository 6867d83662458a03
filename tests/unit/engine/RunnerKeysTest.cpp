#include <gtest/gtest.h>

#include "RunnerHarness.hpp"

namespace joywright {
namespace {

using enum ModifierKey;
using test::RunnerHarness;
namespace fi = frame_input;

// Harness timing: repeat delay 0.5 s (32 frames of 1/64 s), interval 0.125 s (8 frames).
constexpr int kDelayFrames = 32;
constexpr int kIntervalFrames = 8;

KeyCombo combo(std::optional<KeyCode> key, ModifierSet modifiers = {}) {
    return RunnerHarness::combo(key, modifiers);
}

int countTokens(const std::string& text, const std::string& token) {
    int n = 0;
    for (auto at = text.find(token); at != std::string::npos; at = text.find(token, at + 1))
        ++n;
    return n;
}

TEST(RunnerKeys, ComboPressAndReleasePostModifiersAroundTheKey) {
    RunnerHarness h;
    h.startAndSettle();
    h.send(fi::KeyDown{combo(KeyCode::a, {leftShift, leftCommand})});
    EXPECT_EQ(h.tickAndTake(), "+leftShift(0x20002) +leftCommand(0x12000A) +a(0x12010A)");
    h.send(fi::KeyUp{combo(KeyCode::a, {leftShift, leftCommand})});
    EXPECT_EQ(h.tickAndTake(), "-a(0x12010A) -leftShift(0x100008) -leftCommand(0x0)");
    EXPECT_TRUE(h.synth.nothingHeld()) << h.synth.describeHeld();
}

TEST(RunnerKeys, ModifierOnlyComboPostsOnlyModifierEvents) {
    RunnerHarness h;
    h.startAndSettle();
    h.send(fi::KeyDown{combo(std::nullopt, {leftControl, rightOption})});
    EXPECT_EQ(h.tickAndTake(), "+leftControl(0x40001) +rightOption(0xC0041)");
    h.send(fi::KeyUp{combo(std::nullopt, {leftControl, rightOption})});
    EXPECT_EQ(h.tickAndTake(), "-leftControl(0x80040) -rightOption(0x0)");
}

TEST(RunnerKeys, TwoInputsOnTheSameKeyPostTwoDownsAndOneUpAtTheLastRelease) {
    RunnerHarness h;
    h.startAndSettle();
    h.send(fi::KeyDown{combo(KeyCode::w)}).send(fi::KeyDown{combo(KeyCode::w)});
    EXPECT_EQ(h.tickAndTake(), "+w(0x100) +w(0x100)");
    h.send(fi::KeyUp{combo(KeyCode::w)});
    EXPECT_EQ(h.tickAndTake(), "");
    // Still held through the second input: w keeps repeating.
    h.ticks(kDelayFrames);
    EXPECT_EQ(countTokens(h.synth.take(), "*w(0x100)"), 1);
    h.send(fi::KeyUp{combo(KeyCode::w)});
    EXPECT_EQ(h.tickAndTake(), "-w(0x100)");
    h.ticks(4 * kIntervalFrames);
    EXPECT_EQ(h.synth.take(), "");
}

TEST(RunnerKeys, SharedKeyWithDifferentModifiersReleasesEachModifierWhenItsHolderLetsGo) {
    RunnerHarness h;
    h.startAndSettle();
    const auto a = combo(KeyCode::a, {leftShift});
    const auto b = combo(KeyCode::a);
    h.send(fi::KeyDown{a});
    EXPECT_EQ(h.tickAndTake(), "+leftShift(0x20002) +a(0x20102)");
    h.send(fi::KeyDown{b});
    EXPECT_EQ(h.tickAndTake(), "+a(0x20102)");
    h.send(fi::KeyUp{a});
    EXPECT_EQ(h.tickAndTake(), "-leftShift(0x0)");
    h.send(fi::KeyUp{b});
    EXPECT_EQ(h.tickAndTake(), "-a(0x100)");
}

TEST(RunnerKeys, SharedModifierAloneGoesUpOnlyAtTheLastRelease) {
    RunnerHarness h;
    h.startAndSettle();
    const auto cmd = combo(std::nullopt, {leftCommand});
    h.send(fi::KeyDown{cmd});
    EXPECT_EQ(h.tickAndTake(), "+leftCommand(0x100008)");
    h.send(fi::KeyDown{cmd});
    EXPECT_EQ(h.tickAndTake(), "");
    h.send(fi::KeyUp{cmd});
    EXPECT_EQ(h.tickAndTake(), "");
    h.send(fi::KeyUp{cmd});
    EXPECT_EQ(h.tickAndTake(), "-leftCommand(0x0)");
}

TEST(RunnerKeys, ReleasingAKeyThatWasNeverPressedPostsItsKeyUp) {
    RunnerHarness h;
    h.startAndSettle();
    h.send(fi::KeyUp{combo(KeyCode::a)});
    EXPECT_EQ(h.tickAndTake(), "-a(0x100)");
    EXPECT_TRUE(h.runner.heldKeys().empty());
}

TEST(RunnerKeys, HeldKeyRepeatsAfterTheDelayThenEveryInterval) {
    RunnerHarness h;
    h.startAndSettle();
    h.send(fi::KeyDown{combo(KeyCode::a)});
    h.tick();  // pressed at elapsed 1/64
    h.synth.take();
    h.ticks(kDelayFrames - 1);
    EXPECT_EQ(h.synth.take(), "");
    EXPECT_EQ(h.tickAndTake(), "*a(0x100)");  // elapsed = press + delay exactly
    h.ticks(kIntervalFrames - 1);
    EXPECT_EQ(h.synth.take(), "");
    EXPECT_EQ(h.tickAndTake(), "*a(0x100)");
    h.ticks(3 * kIntervalFrames);
    EXPECT_EQ(h.synth.take(), "*a(0x100) *a(0x100) *a(0x100)");
}

TEST(RunnerKeys, SystemKeysNeverRepeat) {
    RunnerHarness h;
    h.startAndSettle();
    h.send(fi::KeyDown{combo(KeyCode::soundUp)});
    EXPECT_EQ(h.tickAndTake(), "+soundUp(0xa00)");
    h.ticks(kDelayFrames + 4 * kIntervalFrames);
    EXPECT_EQ(h.synth.take(), "");
    EXPECT_TRUE(h.runner.keyRepeatScheduler().empty());
    h.send(fi::KeyUp{combo(KeyCode::soundUp)});
    EXPECT_EQ(h.tickAndTake(), "-soundUp(0xb00)");
}

TEST(RunnerKeys, RepeatCarriesTheModifiersHeldThroughOtherInputs) {
    RunnerHarness h;
    h.startAndSettle();
    h.send(fi::KeyDown{combo(KeyCode::a)});
    h.tick();
    h.send(fi::KeyDown{combo(std::nullopt, {leftShift})});
    h.ticks(kDelayFrames);
    EXPECT_EQ(h.synth.take(), "+a(0x100) +leftShift(0x20002) *a(0x20102)");
}

TEST(RunnerKeys, PressAndReleaseInOneTickPostsBothAndSchedulesNothing) {
    RunnerHarness h;
    h.startAndSettle();
    h.send(fi::KeyDown{combo(KeyCode::space)}).send(fi::KeyUp{combo(KeyCode::space)});
    EXPECT_EQ(h.tickAndTake(), "+space(0x100) -space(0x100)");
    h.ticks(kDelayFrames + kIntervalFrames);
    EXPECT_EQ(h.synth.take(), "");
}

TEST(RunnerKeys, RepressingAfterReleaseRestartsTheInitialDelay) {
    RunnerHarness h;
    h.startAndSettle();
    h.send(fi::KeyDown{combo(KeyCode::a)});
    h.ticks(kDelayFrames - 2);
    h.send(fi::KeyUp{combo(KeyCode::a)});
    h.tick();
    h.send(fi::KeyDown{combo(KeyCode::a)});
    h.tick();
    h.synth.take();
    h.ticks(kDelayFrames - 1);
    EXPECT_EQ(h.synth.take(), "");
    EXPECT_EQ(h.tickAndTake(), "*a(0x100)");
}

TEST(RunnerKeys, LongFrameMakesHeldKeysWaitTheFullDelayAgain) {
    RunnerHarness h;
    h.startAndSettle();
    h.send(fi::KeyDown{combo(KeyCode::a)});
    h.ticks(kDelayFrames - 4);
    h.synth.take();
    h.tick(0.3);
    EXPECT_EQ(h.synth.take(), "");
    const auto state = h.runner.keyRepeatScheduler().state(KeyCode::a);
    ASSERT_TRUE(state);
    EXPECT_DOUBLE_EQ(state->nextFire, h.runner.elapsed() + 0.5);
    EXPECT_FALSE(state->repeating);
    h.ticks(kDelayFrames - 1);
    EXPECT_EQ(h.synth.take(), "");
    EXPECT_EQ(h.tickAndTake(), "*a(0x100)");
}

}  // namespace
}  // namespace joywright

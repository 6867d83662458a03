#include <gtest/gtest.h>

#include <string>

#include "engine/KeyEvents.hpp"
#include "fakes/RecordingSynthesizer.hpp"

namespace joywright {
namespace {

using enum ModifierKey;

TEST(KeyEvents, ComboUpReleasesTheKeyThenModifiersInCaseOrderEachLosingItsOwnFlag) {
    RecordingSynthesizer synth;
    synth.postKey(KeyCode::a, {}, {leftCommand, leftShift}, {leftShift, leftCommand}, true);
    synth.postKey(KeyCode::a, {leftShift, leftCommand}, {}, {}, false);
    EXPECT_EQ(synth.take(),
              "+leftShift(0x20002) +leftCommand(0x12000A) +a(0x12010A) "
              "-a(0x12010A) -leftShift(0x100008) -leftCommand(0x0)");
    EXPECT_TRUE(synth.nothingHeld()) << synth.describeHeld();
}

TEST(KeyEvents, ModifierEventsAreFlagsChangedWithoutNonCoalesced) {
    const auto events = postKeyEvents(std::nullopt, {}, {rightCommand}, {rightCommand}, true);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_TRUE(events[0].isFlagsChanged);
    EXPECT_EQ(events[0].virtualKeyCode, 54);
    EXPECT_EQ(events[0].modifier, rightCommand);
    EXPECT_EQ(events[0].flags, 0x100010u);
}

TEST(KeyEvents, AModifierAlreadyHeldByAnotherInputStaysInTheFlagsButGetsNoEvent) {
    RecordingSynthesizer synth;
    // leftShift held elsewhere; this combo adds leftControl.
    synth.postKey(KeyCode::s, {}, {leftControl}, {leftShift, leftControl}, true);
    EXPECT_EQ(synth.take(), "+leftControl(0x60003) +s(0x60103)");
}

TEST(KeyEvents, ModifierOnlyChangeWithNothingNewPostsNothing) {
    EXPECT_TRUE(postKeyEvents(std::nullopt, {}, {}, {leftCommand}, true).empty());
    EXPECT_TRUE(postKeyEvents(std::nullopt, {}, {}, {}, false).empty());
}

struct ClassBitsCase {
    KeyCode key;
    std::uint64_t bits;
};

TEST(KeyEvents, KeyClassBitsMarkFunctionArrowAndKeypadKeys) {
    constexpr ClassBitsCase cases[] = {
        {KeyCode::upArrow, 0xA00000},
        {KeyCode::leftArrow, 0xA00000},
        {KeyCode::f5, 0x800000},
        {KeyCode::f3, 0x800000},
        {KeyCode::f20, 0x800000},
        {KeyCode::help, 0x800000},
        {KeyCode::forwardDelete, 0x800000},
        {KeyCode::pageDown, 0x800000},
        {KeyCode::keypad7, 0x200000},
        {KeyCode::enter, 0x200000},
        {KeyCode::keypadClear, 0x200000},
        {KeyCode::keypadEquals, 0x200000},
        {KeyCode::function, 0},
        {KeyCode::returnKey, 0},
        {KeyCode::a, 0},
        {KeyCode::delete_, 0},
        {KeyCode::volumeUp, 0},
        {KeyCode::shift, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(caseName(c.key)));
        EXPECT_EQ(keyClassFlags(c.key), c.bits);
        const auto events = postKeyEvents(c.key, {}, {}, {}, true);
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].flags & ~EventFlag::nonCoalesced, c.bits);
    }
}

TEST(KeyEvents, EveryKeyClassIsOneOfTheFourAndOnlyKeyboardKeysHaveBits) {
    int secondaryFn = 0, arrows = 0, numericPad = 0;
    for (KeyCode key : allKeyCodes()) {
        const auto bits = keyClassFlags(key);
        if (bits == EventFlag::secondaryFn) ++secondaryFn;
        if (bits == (EventFlag::secondaryFn | EventFlag::numericPad)) ++arrows;
        if (bits == EventFlag::numericPad) ++numericPad;
        if (isSystemKey(key)) {
            EXPECT_EQ(bits, 0u) << caseName(key);
        }
    }
    EXPECT_EQ(secondaryFn, 6 + 20);
    EXPECT_EQ(arrows, 4);
    EXPECT_EQ(numericPad, 1 + 17);
}

TEST(KeyEvents, KeyboardKeysAreNonCoalescedExceptModifierKeyCodes) {
    for (KeyCode key : allKeyCodes()) {
        if (isSystemKey(key)) continue;
        SCOPED_TRACE(std::string(caseName(key)));
        const auto events = postKeyEvents(key, {}, {}, {}, true);
        ASSERT_EQ(events.size(), 1u);
        const bool modifierCode = rawValue(key) >= 54 && rawValue(key) <= 63;
        EXPECT_EQ(events[0].isFlagsChanged, modifierCode);
        EXPECT_EQ((events[0].flags & EventFlag::nonCoalesced) != 0, !modifierCode);
        EXPECT_EQ(events[0].virtualKeyCode, rawValue(key));
    }
}

TEST(KeyEvents, CapsLockDownsAndRepeatsCarryAlphaShiftButItsUpDoesNot) {
    RecordingSynthesizer synth;
    synth.postKey(KeyCode::capsLock, {}, {}, {}, true);
    synth.postKeyRepeat(KeyCode::capsLock, {});
    synth.postKey(KeyCode::capsLock, {}, {}, {}, false);
    EXPECT_EQ(synth.take(), "+capsLock(0x10000) *capsLock(0x10000) -capsLock(0x0)");
}

TEST(KeyEvents, SystemKeysPostOneSystemDefinedEventAndNoKeyboardEvent) {
    RecordingSynthesizer synth;
    synth.postKey(KeyCode::play, {}, {}, {}, true);
    synth.postKey(KeyCode::play, {}, {}, {}, false);
    EXPECT_EQ(synth.take(), "+play(0x100a00) -play(0x100b00)");

    const auto events = postKeyEvents(KeyCode::soundUp, {}, {}, {}, true);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, KeyEvent::Kind::systemDefined);
    EXPECT_EQ(events[0].systemKeyType, 0);
    EXPECT_EQ(events[0].data1, 0xa00);
    EXPECT_EQ(events[0].flags, kSystemKeyDownFlags);
    EXPECT_EQ(postKeyEvents(KeyCode::illuminationToggle, {}, {}, {}, false)[0].data1,
              (23 << 16) | 0xb00);
}

TEST(KeyEvents, SystemKeyWithModifiersKeepsTheModifierSteps) {
    RecordingSynthesizer synth;
    synth.postKey(KeyCode::soundUp, {}, {leftShift}, {leftShift}, true);
    synth.postKey(KeyCode::soundUp, {leftShift}, {}, {}, false);
    EXPECT_EQ(synth.take(), "+leftShift(0x20002) +soundUp(0xa00) -soundUp(0xb00) -leftShift(0x0)");
}

TEST(KeyEvents, VolumeUpIsAKeyboardKeyNotASystemKey) {
    const auto events = postKeyEvents(KeyCode::volumeUp, {}, {}, {}, true);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, KeyEvent::Kind::keyboard);
    EXPECT_EQ(events[0].virtualKeyCode, 72);
}

TEST(KeyEvents, RepeatIsOneAutorepeatDownWithTheHeldModifiersAndNoModifierEvents) {
    const auto events = postKeyRepeatEvents(KeyCode::upArrow, {leftShift});
    ASSERT_EQ(events.size(), 1u);
    EXPECT_TRUE(events[0].isAutorepeat);
    EXPECT_TRUE(events[0].isDown);
    EXPECT_EQ(events[0].flags, 0x20002u | 0xA00000u | 0x100u);
    EXPECT_TRUE(postKeyRepeatEvents(KeyCode::soundUp, {}).empty());
}

TEST(KeyEvents, AllEightModifiersDownAndUpFitTheFixedList) {
    ModifierSet all;
    for (auto m : kAllModifierKeys)
        all.insert(m);
    const auto down = postKeyEvents(KeyCode::a, {}, all, all, true);
    EXPECT_EQ(down.size(), 9u);
    EXPECT_EQ(down[8].flags, eventFlags(all) | EventFlag::nonCoalesced);
    const auto up = postKeyEvents(KeyCode::a, all, {}, {}, false);
    EXPECT_EQ(up.size(), 9u);
    EXPECT_EQ(up[8].flags, 0u);
}

}  // namespace
}  // namespace joywright

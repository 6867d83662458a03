#include <gtest/gtest.h>

#include <string>

#include "engine/KeyEvents.hpp"
#include "fakes/RecordingSynthesizer.hpp"

namespace joywright {
namespace {

using enum ModifierKey;
using K = KeyCode;

// One postKey request (down or up), or a postKeyRepeat with `current` as its modifiers.
enum Post { down, up, repeat };
struct Request {
    Post post;
    std::optional<KeyCode> key;
    ModifierSet released, pressed, current;
    const char* posted;
};

TEST(KeyEvents, RequestsExpandIntoTheEventsAndFlagsThePlatformPosts) {
    const Request requests[] = {
        {down, K::upArrow, {}, {}, {}, "+upArrow(0xA00100)"},  // key class bits
        {down, K::f5, {}, {}, {}, "+f5(0x800100)"},
        {down, K::keypad7, {}, {}, {}, "+keypad7(0x200100)"},
        {down, K::enter, {}, {}, {}, "+enter(0x200100)"},
        {down, K::function, {}, {}, {}, "+function(0x0)"},
        {down, std::nullopt, {}, {rightCommand}, {rightCommand}, "+rightCommand(0x100010)"},
        {down, std::nullopt, {}, {}, {leftCommand}, ""},  // nothing newly held
        {up, std::nullopt, {}, {}, {}, ""},
        {down, K::capsLock, {}, {}, {}, "+capsLock(0x10000)"},  // AlphaShift on downs and repeats
        {repeat, K::capsLock, {}, {}, {}, "*capsLock(0x10000)"},
        {up, K::capsLock, {}, {}, {}, "-capsLock(0x0)"},
        {down, K::play, {}, {}, {}, "+play(0x100a00)"},  // one system-defined event, data1
        {up, K::play, {}, {}, {}, "-play(0x100b00)"},
        {up, K::illuminationToggle, {}, {}, {}, "-illuminationToggle(0x170b00)"},
        {down, K::soundUp, {}, {leftShift}, {leftShift}, "+leftShift(0x20002) +soundUp(0xa00)"},
        {up, K::soundUp, {leftShift}, {}, {}, "-soundUp(0xb00) -leftShift(0x0)"},
        {down, K::volumeUp, {}, {}, {}, "+volumeUp(0x100)"},  // a keyboard key, not a system key
        {repeat, K::upArrow, {}, {}, {leftShift}, "*upArrow(0xA20102)"},  // no modifier events
        {repeat, K::soundUp, {}, {}, {}, ""},  // system keys never repeat
    };
    for (const auto& r : requests) {
        SCOPED_TRACE(testing::Message() << "row " << &r - requests);
        RecordingSynthesizer synth;
        if (r.post == repeat) {
            synth.postKeyRepeat(*r.key, r.current);
        } else {
            synth.postKey(r.key, r.released, r.pressed, r.current, r.post == down);
        }
        for (const auto& e : synth.keyEvents) {
            if (e.modifier) {
                EXPECT_TRUE(e.isFlagsChanged);
                EXPECT_EQ(e.virtualKeyCode, rawValue(keyCode(*e.modifier)));
            }
            EXPECT_TRUE(e.isDown || !e.isAutorepeat);
            if (e.kind == KeyEvent::Kind::systemDefined) {
                EXPECT_EQ(e.flags, e.isDown ? kSystemKeyDownFlags : kSystemKeyUpFlags);
            }
        }
        EXPECT_EQ(synth.take(), r.posted);
    }
}

// Every keyboard key posts one event with its own code and class bits; the modifier key codes
// make flags-changed events, all others NonCoalesced key events.
TEST(KeyEvents, EveryKeyboardKeyPostsOneEventWithItsCodeClassAndCoalescing) {
    int secondaryFn = 0, arrows = 0, numericPad = 0;
    for (KeyCode key : allKeyCodes()) {
        SCOPED_TRACE(std::string(caseName(key)));
        const auto bits = keyClassFlags(key);
        secondaryFn += bits == EventFlag::secondaryFn;
        arrows += bits == (EventFlag::secondaryFn | EventFlag::numericPad);
        numericPad += bits == EventFlag::numericPad;
        if (isSystemKey(key)) {
            EXPECT_EQ(bits, 0u);
            continue;
        }
        const auto events = postKeyEvents(key, {}, {}, {}, true);
        ASSERT_EQ(events.size(), 1u);
        const bool modifierCode = rawValue(key) >= 54 && rawValue(key) <= 63;
        EXPECT_EQ(events[0].isFlagsChanged, modifierCode);
        EXPECT_EQ(events[0].virtualKeyCode, rawValue(key));
        const auto coalescing = modifierCode ? 0 : EventFlag::nonCoalesced;
        EXPECT_EQ(events[0].flags & ~EventFlag::alphaShift, bits | coalescing);
    }
    EXPECT_EQ(secondaryFn, 6 + 20);
    EXPECT_EQ(arrows, 4);
    EXPECT_EQ(numericPad, 1 + 17);
}

TEST(KeyEvents, AllEightModifiersDownAndUpFitTheFixedList) {
    ModifierSet all;
    for (auto m : kAllModifierKeys)
        all.insert(m);
    const auto down = postKeyEvents(KeyCode::a, {}, all, all, true);
    ASSERT_EQ(down.size(), 9u);
    EXPECT_EQ(down[8].flags, eventFlags(all) | EventFlag::nonCoalesced);
    const auto up = postKeyEvents(KeyCode::a, all, {}, {}, false);
    ASSERT_EQ(up.size(), 9u);
    EXPECT_EQ(up[8].flags, 0u);
}

}  // namespace
}  // namespace joywright

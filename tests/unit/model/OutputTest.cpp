#include <gtest/gtest.h>

#include "FakeKeyboardLayout.hpp"
#include "model/Output.hpp"

namespace joywright {
namespace {

using M = ModifierKey;

TEST(Output, SummaryText) {
    const FakeKeyboardLayout us({{KeyCode::g, "g"}});
    struct Case {
        Output output;
        std::string_view text;
    };
    const Case kCases[] = {
        {Output::noop(), "Do nothing"},
        {Output::pressKey({}), "Do nothing"},
        {Output::pressKey({std::nullopt, {M::leftShift}}), "Press key: Shift"},
        {Output::pressKey({KeyCode::g, {M::leftShift, M::leftControl}}), "Press key: Ctrl+Shift+G"},
        {Output::clickMouse(MouseButton::left()), "Click mouse: left click"},
        {Output::clickMouse(MouseButton::center()), "Click mouse: center click"},
        {Output::clickMouse(MouseButton::other(4)), "Click mouse: other(4) click"},
        {Output::moveMouse(Direction::up, 800), "Move mouse up 800px/s"},
        {Output::scrollMouse(Direction::down, 1234.6f, ScrollMouseMode::continuous),
         "Scroll mouse down 1235px/s"},
        {Output::scrollMouse(Direction::left, 1234.6f, ScrollMouseMode::notched),
         "Scroll mouse left (notched)"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.text));
        EXPECT_EQ(summaryText(c.output, &us), c.text);
    }
}

TEST(Output, SwitchingKindAlwaysStartsFromTheKindsDefault) {
    struct Case {
        Output::Tag tag;
        std::string_view label;
        Output output;
    };
    const Case kCases[] = {
        {Output::Tag::noop, "Do nothing", Output::noop()},
        {Output::Tag::pressKey, "Press key", Output::pressKey({})},
        {Output::Tag::moveMouse, "Move mouse", Output::moveMouse(Direction::left, 800)},
        {Output::Tag::clickMouse, "Click mouse", Output::clickMouse(MouseButton::left())},
        {Output::Tag::scrollMouse, "Scroll mouse",
         Output::scrollMouse(Direction::left, 800, ScrollMouseMode::continuous)},
    };
    ASSERT_EQ(std::size(kCases), kAllOutputTags.size());
    for (std::size_t i = 0; i < std::size(kCases); ++i) {
        const auto& c = kCases[i];
        SCOPED_TRACE(std::string(c.label));
        EXPECT_EQ(kAllOutputTags[i], c.tag);  // display order: move before click
        EXPECT_EQ(label(c.tag), c.label);
        EXPECT_EQ(Output::defaultOutput(c.tag), c.output);
        EXPECT_EQ(c.output.tag(), c.tag);
    }
}

TEST(MouseButton, OtherButtonsNeverEqualNamedOnes) {
    EXPECT_NE(MouseButton::other(0), MouseButton::left());
    EXPECT_NE(MouseButton::other(1), MouseButton::right());
    EXPECT_NE(MouseButton::other(2), MouseButton::center());
    EXPECT_EQ(MouseButton::other(2).buttonNumber(), MouseButton::center().buttonNumber());
    EXPECT_EQ(MouseButton::other(7), MouseButton::other(7));
    EXPECT_EQ(MouseButton::other(4294967295u).description(), "other(4294967295)");
}

TEST(ScrollMouseMode, RawValuesAndLabels) {
    EXPECT_EQ(scrollMouseModeFromRawValue("notched"), ScrollMouseMode::notched);
    EXPECT_FALSE(scrollMouseModeFromRawValue("Continuous"));
    EXPECT_EQ(label(ScrollMouseMode::continuous), "Continuously");
}

}  // namespace
}  // namespace joywright

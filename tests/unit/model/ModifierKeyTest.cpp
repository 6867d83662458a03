#include <gtest/gtest.h>

#include <vector>

#include "model/ModifierKey.hpp"

namespace joywright {
namespace {

TEST(ModifierKey, TableOfNamesKeysFlagsAndLinuxLabels) {
    struct Row {
        ModifierKey modifier;
        std::string_view name;
        KeyCode key;
        std::uint64_t flags;
        std::string_view shortLabel;
        std::string_view label;
    };
    constexpr Row kRows[] = {
        {ModifierKey::leftShift, "leftShift", KeyCode::shift, 0x20002, "Shift", "Left Shift"},
        {ModifierKey::rightShift, "rightShift", KeyCode::rightShift, 0x20004, "R-Shift",
         "Right Shift"},
        {ModifierKey::leftControl, "leftControl", KeyCode::control, 0x40001, "Ctrl",
         "Left Control"},
        {ModifierKey::rightControl, "rightControl", KeyCode::rightControl, 0x42000, "R-Ctrl",
         "Right Control"},
        {ModifierKey::leftOption, "leftOption", KeyCode::option, 0x80020, "Alt", "Left Alt"},
        {ModifierKey::rightOption, "rightOption", KeyCode::rightOption, 0x80040, "R-Alt",
         "Right Alt"},
        {ModifierKey::leftCommand, "leftCommand", KeyCode::command, 0x100008, "Super",
         "Left Super"},
        {ModifierKey::rightCommand, "rightCommand", KeyCode::rightCommand, 0x100010, "R-Super",
         "Right Super"},
    };
    ASSERT_EQ(std::size(kRows), kAllModifierKeys.size());
    for (std::size_t i = 0; i < std::size(kRows); ++i) {
        const auto& row = kRows[i];
        SCOPED_TRACE(std::string(row.name));
        EXPECT_EQ(kAllModifierKeys[i], row.modifier);
        EXPECT_EQ(persistedName(row.modifier), row.name);
        EXPECT_EQ(modifierKeyFromPersistedName(row.name), row.modifier);
        EXPECT_EQ(keyCode(row.modifier), row.key);
        EXPECT_EQ(eventFlags(row.modifier), row.flags);
        EXPECT_EQ(shortLabel(row.modifier), row.shortLabel);
        EXPECT_EQ(label(row.modifier), row.label);
    }
}

TEST(ModifierKey, SidelessNamesReadAsTheLeftKeyAndNothingElseReads) {
    EXPECT_EQ(modifierKeyFromPersistedName("shift"), ModifierKey::leftShift);
    EXPECT_EQ(modifierKeyFromPersistedName("control"), ModifierKey::leftControl);
    EXPECT_EQ(modifierKeyFromPersistedName("option"), ModifierKey::leftOption);
    EXPECT_EQ(modifierKeyFromPersistedName("command"), ModifierKey::leftCommand);
    for (auto text : {"Shift", "alt", "super", "rightshift", "", "leftShift "}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(modifierKeyFromPersistedName(text));
    }
}

TEST(ModifierSet, IteratesInCaseOrderAndCombinesFlags) {
    const ModifierSet set{ModifierKey::rightCommand, ModifierKey::leftShift,
                          ModifierKey::leftControl};
    std::vector<ModifierKey> listed;
    for (auto m : set)
        listed.push_back(m);
    EXPECT_EQ(listed, (std::vector<ModifierKey>{ModifierKey::leftShift, ModifierKey::leftControl,
                                                ModifierKey::rightCommand}));
    EXPECT_EQ(set.size(), 3);
    EXPECT_EQ(eventFlags(ModifierSet{}), 0u);
    EXPECT_EQ(eventFlags(ModifierSet{ModifierKey::rightCommand}), 0x100010u);
    EXPECT_EQ(eventFlags(ModifierSet{ModifierKey::leftControl, ModifierKey::rightControl}),
              0x42001u);
    EXPECT_EQ(eventFlags(ModifierSet{ModifierKey::leftShift, ModifierKey::rightShift}),
              0x20000u | 0x2u | 0x4u);
}

TEST(ModifierSet, FromHeldKeyCodesIgnoresCapsLockFnAndOtherKeys) {
    struct Case {
        std::vector<std::uint16_t> codes;
        ModifierSet modifiers;
    };
    const Case kCases[] = {
        {{55, 60, 57}, {ModifierKey::leftCommand, ModifierKey::rightShift}},
        {{57, 63}, {}},
        {{54, 55, 56, 58, 59, 60, 61, 62}, ModifierSet::fromBits(0xFF)},
        {{0, 49, 4096}, {}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::PrintToString(c.codes));
        EXPECT_EQ(fromKeyCodes(c.codes), c.modifiers);
    }
}

TEST(ModifierSet, FromEventFlagsGivesLeftSideModifiersOnly) {
    EXPECT_EQ(fromEventFlags(0x120000),
              (ModifierSet{ModifierKey::leftShift, ModifierKey::leftCommand}));
    // Side bits of right-hand keys carry no meaning here.
    EXPECT_EQ(fromEventFlags(eventFlags(ModifierKey::rightOption)),
              ModifierSet{ModifierKey::leftOption});
    EXPECT_EQ(fromEventFlags(0x10000 | 0x800000 | 0x2), ModifierSet{});
}

}  // namespace
}  // namespace joywright

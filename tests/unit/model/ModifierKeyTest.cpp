#include <gtest/gtest.h>

#include <vector>

#include "model/ModifierKey.hpp"

namespace joywright {
namespace {

using M = ModifierKey;

TEST(ModifierKey, TableOfNamesKeysFlagsAndLinuxLabels) {
    struct Row {
        ModifierKey modifier;
        std::string_view name;
        KeyCode key;
        std::uint64_t flags;
        std::string_view shortLabel;
        std::string_view label;
    };
    using K = KeyCode;
    constexpr Row kRows[] = {
        {M::leftShift, "leftShift", K::shift, 0x20002, "Shift", "Left Shift"},
        {M::rightShift, "rightShift", K::rightShift, 0x20004, "R-Shift", "Right Shift"},
        {M::leftControl, "leftControl", K::control, 0x40001, "Ctrl", "Left Control"},
        {M::rightControl, "rightControl", K::rightControl, 0x42000, "R-Ctrl", "Right Control"},
        {M::leftOption, "leftOption", K::option, 0x80020, "Alt", "Left Alt"},
        {M::rightOption, "rightOption", K::rightOption, 0x80040, "R-Alt", "Right Alt"},
        {M::leftCommand, "leftCommand", K::command, 0x100008, "Super", "Left Super"},
        {M::rightCommand, "rightCommand", K::rightCommand, 0x100010, "R-Super", "Right Super"},
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
    EXPECT_EQ(modifierKeyFromPersistedName("shift"), M::leftShift);
    EXPECT_EQ(modifierKeyFromPersistedName("control"), M::leftControl);
    EXPECT_EQ(modifierKeyFromPersistedName("option"), M::leftOption);
    EXPECT_EQ(modifierKeyFromPersistedName("command"), M::leftCommand);
    for (auto text : {"Shift", "alt", "super", "rightshift", "", "leftShift "}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(modifierKeyFromPersistedName(text));
    }
}

TEST(ModifierSet, IteratesInCaseOrderAndCombinesFlags) {
    const ModifierSet set{M::rightCommand, M::leftShift, M::leftControl};
    std::vector<ModifierKey> listed;
    for (auto m : set)
        listed.push_back(m);
    EXPECT_EQ(listed, (std::vector<ModifierKey>{M::leftShift, M::leftControl, M::rightCommand}));
    EXPECT_EQ(set.size(), 3);
    EXPECT_EQ(eventFlags(ModifierSet{}), 0u);
    EXPECT_EQ(eventFlags(ModifierSet{M::leftControl, M::rightControl}), 0x42001u);
    EXPECT_EQ(eventFlags(ModifierSet{M::leftShift, M::rightShift}), 0x20000u | 0x2u | 0x4u);
}

TEST(ModifierSet, FromHeldKeyCodesIgnoresCapsLockFnAndOtherKeys) {
    struct Case {
        std::vector<std::uint16_t> codes;
        ModifierSet modifiers;
    };
    const Case kCases[] = {
        {{55, 60, 57}, {M::leftCommand, M::rightShift}},
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
    EXPECT_EQ(fromEventFlags(0x120000), (ModifierSet{M::leftShift, M::leftCommand}));
    // Side bits of right-hand keys carry no meaning here.
    EXPECT_EQ(fromEventFlags(eventFlags(M::rightOption)), ModifierSet{M::leftOption});
    EXPECT_EQ(fromEventFlags(0x10000 | 0x800000 | 0x2), ModifierSet{});
}

}  // namespace
}  // namespace joywright

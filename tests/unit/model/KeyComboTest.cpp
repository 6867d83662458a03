#include <gtest/gtest.h>

#include <string>

#include "FakeKeyboardLayout.hpp"
#include "model/KeyCombo.hpp"

namespace joywright {
namespace {

using M = ModifierKey;

// Steps as readable tokens: "mod:leftShift key:a sys:soundUp".
std::string tokens(const KeyComboSteps& steps) {
    std::string out;
    for (const auto& step : steps) {
        if (!out.empty()) out += ' ';
        if (const auto* m = std::get_if<KeyComboStep::Modifier>(&step.value))
            out += "mod:" + std::string(persistedName(m->modifier));
        else if (const auto* k = std::get_if<KeyComboStep::Key>(&step.value))
            out += "key:" + std::string(caseName(k->key));
        else
            out +=
                "sys:" + std::string(caseName(std::get<KeyComboStep::SystemKey>(step.value).key));
    }
    return out;
}

TEST(KeyCombo, TogglingAModifier) {
    const auto shiftOnly = KeyCombo::toggling(M::leftShift, std::nullopt);
    EXPECT_EQ(shiftOnly, (KeyCombo{std::nullopt, {M::leftShift}}));
    EXPECT_EQ(KeyCombo::toggling(M::leftShift, shiftOnly), std::nullopt);
    // A combo with a key stays a combo even without modifiers.
    EXPECT_EQ(KeyCombo::toggling(M::leftShift, KeyCombo{KeyCode::a, {M::leftShift}}),
              (KeyCombo{KeyCode::a, {}}));
    EXPECT_EQ(KeyCombo::toggling(M::rightCommand, KeyCombo{KeyCode::a, {M::leftShift}}),
              (KeyCombo{KeyCode::a, {M::leftShift, M::rightCommand}}));
}

TEST(KeyCombo, SummaryTextListsModifiersInDisplayOrderThenTheKey) {
    const FakeKeyboardLayout us({{KeyCode::s, "s"}});
    struct Case {
        KeyCombo combo;
        std::string_view text;
    };
    const Case kCases[] = {
        {{KeyCode::space, {M::rightCommand, M::leftControl}}, "Ctrl+R-Super+Space"},
        {{KeyCode::s, {M::leftCommand, M::leftShift}}, "Shift+Super+S"},
        {{std::nullopt, {M::rightOption}}, "R-Alt"},
        {{std::nullopt, ModifierSet::fromBits(0xFF)},
         "Ctrl+Alt+Shift+Super+R-Ctrl+R-Alt+R-Shift+R-Super"},
        {{KeyCode::help, {}}, "Insert"},
        {{KeyCode::forwardDelete, {M::leftOption}}, "Alt+Delete"},
        {{}, ""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.text));
        EXPECT_EQ(summaryText(c.combo, &us), c.text);
    }
    EXPECT_EQ(summaryText({KeyCode::a, {M::leftShift}}, nullptr), "Shift+<Key 0>");
}

TEST(KeyComboSteps, ModifiersDownThenTheKeyThenModifiersUp) {
    struct Case {
        std::optional<KeyCode> key;
        ModifierSet first;
        ModifierSet second;
        std::string_view tokens;
    };
    const Case kCases[] = {
        {KeyCode::a, {M::leftCommand, M::leftShift}, {}, "mod:leftShift mod:leftCommand key:a"},
        {std::nullopt, {}, {}, ""},
        {KeyCode::soundUp, {}, {}, "sys:soundUp"},
        {KeyCode::volumeUp, {}, {}, "key:volumeUp"},
        {KeyCode::b,
         {M::rightControl},
         {M::rightShift, M::leftOption},
         "mod:rightControl key:b mod:rightShift mod:leftOption"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.tokens));
        EXPECT_EQ(tokens(steps(c.key, c.first, c.second)), c.tokens);
    }
    // The most a change can take: every modifier down, the key, every modifier up.
    EXPECT_EQ(steps(KeyCode::a, ModifierSet::fromBits(0xFF), ModifierSet::fromBits(0xFF)).size(),
              KeyComboSteps::kCapacity);
}

}  // namespace
}  // namespace joywright

#include "model/KeyCombo.hpp"

#include "model/KeyboardLayout.hpp"

namespace joywright {

std::optional<KeyCombo> KeyCombo::toggling(ModifierKey modifier,
                                           const std::optional<KeyCombo>& combo) {
    ModifierSet modifiers = combo ? combo->modifiers : ModifierSet{};
    if (modifiers.contains(modifier))
        modifiers.remove(modifier);
    else
        modifiers.insert(modifier);
    if (combo && combo->key) return KeyCombo{combo->key, modifiers};
    if (!modifiers.empty()) return KeyCombo{std::nullopt, modifiers};
    return std::nullopt;
}

std::string summaryText(const KeyCombo& combo, const KeyboardLayout* layout) {
    static constexpr std::array<ModifierKey, 8> kDisplayOrder{
        ModifierKey::leftControl, ModifierKey::leftOption,   ModifierKey::leftShift,
        ModifierKey::leftCommand, ModifierKey::rightControl, ModifierKey::rightOption,
        ModifierKey::rightShift,  ModifierKey::rightCommand};
    std::string text;
    auto add = [&text](std::string_view part) {
        if (!text.empty()) text += '+';
        text += part;
    };
    for (auto m : kDisplayOrder)
        if (combo.modifiers.contains(m)) add(shortLabel(m));
    if (combo.key) add(displayName(*combo.key, layout));
    return text;
}

KeyComboSteps steps(std::optional<KeyCode> key, ModifierSet first, ModifierSet second) {
    KeyComboSteps result;
    for (auto m : first)
        result.push({KeyComboStep::Modifier{m}});
    if (key) {
        if (isSystemKey(*key))
            result.push({KeyComboStep::SystemKey{*key}});
        else
            result.push({KeyComboStep::Key{*key}});
    }
    for (auto m : second)
        result.push({KeyComboStep::Modifier{m}});
    return result;
}

}  // namespace joywright

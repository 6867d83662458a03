#pragma once

#include <array>
#include <optional>
#include <string>
#include <variant>

#include "model/KeyCode.hpp"
#include "model/ModifierKey.hpp"

namespace joywright {

class KeyboardLayout;

// An optional key with a set of modifiers; a combo with neither does nothing.
struct KeyCombo {
    std::optional<KeyCode> key;
    ModifierSet modifiers;

    // The editor's modifier switch: toggles `modifier` in the combo's modifiers (none when there
    // is no combo). Gives the same key with the new set when the combo had a key; otherwise a
    // key-less combo when the set is not empty; otherwise no combo.
    static std::optional<KeyCombo> toggling(ModifierKey modifier,
                                            const std::optional<KeyCombo>& combo);

    friend bool operator==(const KeyCombo&, const KeyCombo&) = default;
};

// Modifiers in display order (leftControl, leftOption, leftShift, leftCommand, rightControl,
// rightOption, rightShift, rightCommand) by short label, then the key's display name, joined
// with "+": "Ctrl+R-Super+Space".
std::string summaryText(const KeyCombo& combo, const KeyboardLayout* layout);

// One atomic action when a combo is posted.
struct KeyComboStep {
    struct Modifier {
        ModifierKey modifier;
        friend bool operator==(const Modifier&, const Modifier&) = default;
    };
    // A keyboard key (raw value below 0x1000).
    struct Key {
        KeyCode key;
        friend bool operator==(const Key&, const Key&) = default;
    };
    // A system-defined key (raw value at or above 0x1000).
    struct SystemKey {
        KeyCode key;
        friend bool operator==(const SystemKey&, const SystemKey&) = default;
    };

    std::variant<Modifier, Key, SystemKey> value;

    friend bool operator==(const KeyComboStep&, const KeyComboStep&) = default;
};

// Up to 8 + 1 + 8 steps, without allocation.
class KeyComboSteps {
public:
    static constexpr std::size_t kCapacity = 17;

    void push(KeyComboStep step) { items_[count_++] = step; }
    const KeyComboStep* begin() const { return items_.data(); }
    const KeyComboStep* end() const { return items_.data() + count_; }
    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    const KeyComboStep& operator[](std::size_t i) const { return items_[i]; }

private:
    std::array<KeyComboStep, kCapacity> items_{};
    std::size_t count_ = 0;
};

// One modifier step per member of `first` (ascending case order), then the key's step when
// given (systemKey for system keys, key otherwise), then one modifier step per member of
// `second` (ascending case order).
KeyComboSteps steps(std::optional<KeyCode> key, ModifierSet first, ModifierSet second);

}  // namespace joywright

#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string_view>

#include "model/KeyCode.hpp"

namespace joywright {

// The eight side-specific modifiers. Case order is significant: modifiers compare by it and every
// ordered listing of a set is ascending case order.
enum class ModifierKey : std::uint8_t {
    leftShift,
    rightShift,
    leftControl,
    rightControl,
    leftOption,
    rightOption,
    leftCommand,
    rightCommand,
};

inline constexpr std::array<ModifierKey, 8> kAllModifierKeys{
    ModifierKey::leftShift,   ModifierKey::rightShift,   ModifierKey::leftControl,
    ModifierKey::rightControl, ModifierKey::leftOption,  ModifierKey::rightOption,
    ModifierKey::leftCommand, ModifierKey::rightCommand};

// Event flag bits (the 64-bit flag word of a synthetic event).
namespace EventFlag {
inline constexpr std::uint64_t alphaShift = 0x10000;
inline constexpr std::uint64_t shift = 0x20000;
inline constexpr std::uint64_t control = 0x40000;
inline constexpr std::uint64_t alternate = 0x80000;
inline constexpr std::uint64_t command = 0x100000;
inline constexpr std::uint64_t numericPad = 0x200000;
inline constexpr std::uint64_t secondaryFn = 0x800000;
inline constexpr std::uint64_t nonCoalesced = 0x100;
}  // namespace EventFlag

// The case name, which is the persisted name ("leftShift").
std::string_view persistedName(ModifierKey modifier);
// A case name, or one of the side-less reading names "shift", "control", "option", "command"
// (meaning the left key); anything else gives none.
std::optional<ModifierKey> modifierKeyFromPersistedName(std::string_view name);

KeyCode keyCode(ModifierKey modifier);
// Generic flag | side flag; leftShift gives 0x20002.
std::uint64_t eventFlags(ModifierKey modifier);
// Short labels as a Linux user reads them: "Shift", "R-Shift", "Ctrl", "R-Ctrl", "Alt", "R-Alt",
// "Super", "R-Super".
std::string_view shortLabel(ModifierKey modifier);
// "Left Shift", ..., "Left Alt", "Right Alt", "Left Super", "Right Super".
std::string_view label(ModifierKey modifier);
std::string_view symbolName(ModifierKey modifier);

// A set of modifiers in one byte; iteration is in ascending case order. No allocation.
class ModifierSet {
public:
    class Iterator {
    public:
        Iterator(std::uint8_t bits, int index) : bits_(bits), index_(index) { skip(); }
        ModifierKey operator*() const { return static_cast<ModifierKey>(index_); }
        Iterator& operator++() {
            ++index_;
            skip();
            return *this;
        }
        bool operator==(const Iterator& o) const { return index_ == o.index_; }

    private:
        void skip() {
            while (index_ < 8 && ((bits_ >> index_) & 1) == 0) ++index_;
        }
        std::uint8_t bits_;
        int index_;
    };

    constexpr ModifierSet() = default;
    constexpr ModifierSet(std::initializer_list<ModifierKey> modifiers) {
        for (auto m : modifiers) insert(m);
    }
    static constexpr ModifierSet fromBits(std::uint8_t bits) {
        ModifierSet s;
        s.bits_ = bits;
        return s;
    }

    constexpr std::uint8_t bits() const { return bits_; }
    constexpr bool empty() const { return bits_ == 0; }
    constexpr int size() const {
        int n = 0;
        for (std::uint8_t b = bits_; b != 0; b &= static_cast<std::uint8_t>(b - 1)) ++n;
        return n;
    }
    constexpr bool contains(ModifierKey m) const { return (bits_ & mask(m)) != 0; }
    constexpr void insert(ModifierKey m) { bits_ = static_cast<std::uint8_t>(bits_ | mask(m)); }
    constexpr void remove(ModifierKey m) { bits_ = static_cast<std::uint8_t>(bits_ & ~mask(m)); }

    constexpr ModifierSet unionWith(ModifierSet o) const { return fromBits(bits_ | o.bits_); }
    constexpr ModifierSet intersection(ModifierSet o) const { return fromBits(bits_ & o.bits_); }
    // Members of this set that are not in `o` (set difference this − o).
    constexpr ModifierSet subtracting(ModifierSet o) const {
        return fromBits(static_cast<std::uint8_t>(bits_ & ~o.bits_));
    }

    Iterator begin() const { return Iterator(bits_, 0); }
    Iterator end() const { return Iterator(bits_, 8); }

    friend constexpr bool operator==(ModifierSet, ModifierSet) = default;

private:
    static constexpr std::uint8_t mask(ModifierKey m) {
        return static_cast<std::uint8_t>(1u << static_cast<unsigned>(m));
    }
    std::uint8_t bits_ = 0;
};

// OR of the generic and side flags of every member; 0 for the empty set.
std::uint64_t eventFlags(ModifierSet modifiers);

// Modifiers among a set of held virtual key codes (54 rightCommand, 55 leftCommand, 56 leftShift,
// 58 leftOption, 59 leftControl, 60 rightShift, 61 rightOption, 62 rightControl); other codes are
// ignored.
ModifierSet fromKeyCodes(std::span<const std::uint16_t> virtualKeyCodes);
// Generic flags to left-side modifiers: 0x20000 leftShift, 0x40000 leftControl, 0x80000
// leftOption, 0x100000 leftCommand; other bits ignored.
ModifierSet fromEventFlags(std::uint64_t flags);

}  // namespace joywright

#include "model/ModifierKey.hpp"

namespace joywright {

namespace {

struct ModifierRow {
    std::string_view persistedName;
    KeyCode keyCode;
    std::uint64_t genericFlag;
    std::uint64_t sideFlag;
    std::string_view shortLabel;
    std::string_view label;
    std::string_view symbolName;
};

// Case order. Command and Option are the Super and Alt keys here.
constexpr std::array<ModifierRow, 8> kModifiers{{
    {"leftShift", KeyCode::shift, EventFlag::shift, 0x2, "Shift", "Left Shift", "shift"},
    {"rightShift", KeyCode::rightShift, EventFlag::shift, 0x4, "R-Shift", "Right Shift", "shift"},
    {"leftControl", KeyCode::control, EventFlag::control, 0x1, "Ctrl", "Left Control", "control"},
    {"rightControl", KeyCode::rightControl, EventFlag::control, 0x2000, "R-Ctrl", "Right Control",
     "control"},
    {"leftOption", KeyCode::option, EventFlag::alternate, 0x20, "Alt", "Left Alt", "option"},
    {"rightOption", KeyCode::rightOption, EventFlag::alternate, 0x40, "R-Alt", "Right Alt",
     "option"},
    {"leftCommand", KeyCode::command, EventFlag::command, 0x8, "Super", "Left Super", "command"},
    {"rightCommand", KeyCode::rightCommand, EventFlag::command, 0x10, "R-Super", "Right Super",
     "command"},
}};

const ModifierRow& row(ModifierKey m) {
    return kModifiers[static_cast<std::size_t>(m)];
}

}  // namespace

std::string_view persistedName(ModifierKey modifier) {
    return row(modifier).persistedName;
}

std::optional<ModifierKey> modifierKeyFromPersistedName(std::string_view name) {
    for (auto m : kAllModifierKeys)
        if (row(m).persistedName == name) return m;
    if (name == "shift") return ModifierKey::leftShift;
    if (name == "control") return ModifierKey::leftControl;
    if (name == "option") return ModifierKey::leftOption;
    if (name == "command") return ModifierKey::leftCommand;
    return std::nullopt;
}

KeyCode keyCode(ModifierKey modifier) {
    return row(modifier).keyCode;
}

std::uint64_t eventFlags(ModifierKey modifier) {
    return row(modifier).genericFlag | row(modifier).sideFlag;
}

std::string_view shortLabel(ModifierKey modifier) {
    return row(modifier).shortLabel;
}
std::string_view label(ModifierKey modifier) {
    return row(modifier).label;
}
std::string_view symbolName(ModifierKey modifier) {
    return row(modifier).symbolName;
}

std::uint64_t eventFlags(ModifierSet modifiers) {
    std::uint64_t flags = 0;
    for (auto m : modifiers)
        flags |= eventFlags(m);
    return flags;
}

ModifierSet fromKeyCodes(std::span<const std::uint16_t> virtualKeyCodes) {
    ModifierSet set;
    for (auto code : virtualKeyCodes)
        for (auto m : kAllModifierKeys)
            if (rawValue(keyCode(m)) == code) set.insert(m);
    return set;
}

ModifierSet fromEventFlags(std::uint64_t flags) {
    ModifierSet set;
    if (flags & EventFlag::shift) set.insert(ModifierKey::leftShift);
    if (flags & EventFlag::control) set.insert(ModifierKey::leftControl);
    if (flags & EventFlag::alternate) set.insert(ModifierKey::leftOption);
    if (flags & EventFlag::command) set.insert(ModifierKey::leftCommand);
    return set;
}

}  // namespace joywright

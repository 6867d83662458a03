#include "model/KeyCode.hpp"

#include <algorithm>

#include "model/KeyboardLayout.hpp"
#include "support/Utf8.hpp"

namespace joywright {

namespace {

struct KeyRow {
    KeyCode key;
    std::string_view caseName;
    // Fixed display name; empty for the keys the keyboard layout names.
    std::string_view name;
};

using K = KeyCode;

// Declaration order. Command and Option are Super and Alt on Linux; Help sits where Insert is.
constexpr std::array<KeyRow, kKeyCodeCount> kKeys{{
    {K::soundUp, "soundUp", "Volume Up"},
    {K::soundDown, "soundDown", "Volume Down"},
    {K::brightnessUp, "brightnessUp", "Brightness Up"},
    {K::brightnessDown, "brightnessDown", "Brightness Down"},
    {K::power, "power", "Power"},
    {K::muteSpecial, "muteSpecial", "Mute"},
    {K::numLock, "numLock", "Num Lock"},
    {K::contrastUp, "contrastUp", "Contrast Up"},
    {K::contrastDown, "contrastDown", "Contrast Down"},
    {K::launchPanel, "launchPanel", "Launchpad"},
    {K::eject, "eject", "Eject"},
    {K::videoMirror, "videoMirror", "Video Mirror"},
    {K::play, "play", "Play/Pause"},
    {K::next, "next", "Next Track"},
    {K::previous, "previous", "Previous Track"},
    {K::fast, "fast", "Fast Forward"},
    {K::rewind, "rewind", "Rewind"},
    {K::illuminationUp, "illuminationUp", "Kbd Brightness Up"},
    {K::illuminationDown, "illuminationDown", "Kbd Brightness Down"},
    {K::illuminationToggle, "illuminationToggle", "Kbd Brightness Toggle"},
    {K::returnKey, "returnKey", "Return"},
    {K::enter, "enter", "Enter"},
    {K::tab, "tab", "Tab"},
    {K::space, "space", "Space"},
    {K::delete_, "delete", "Backspace"},
    {K::escape, "escape", "Escape"},
    {K::command, "command", "Left Super"},
    {K::shift, "shift", "Left Shift"},
    {K::capsLock, "capsLock", "Caps Lock"},
    {K::option, "option", "Left Alt"},
    {K::control, "control", "Left Control"},
    {K::rightCommand, "rightCommand", "Right Super"},
    {K::rightShift, "rightShift", "Right Shift"},
    {K::rightOption, "rightOption", "Right Alt"},
    {K::rightControl, "rightControl", "Right Control"},
    {K::leftArrow, "leftArrow", "Left"},
    {K::rightArrow, "rightArrow", "Right"},
    {K::downArrow, "downArrow", "Down"},
    {K::upArrow, "upArrow", "Up"},
    {K::volumeUp, "volumeUp", ""},
    {K::volumeDown, "volumeDown", ""},
    {K::mute, "mute", ""},
    {K::help, "help", "Insert"},
    {K::home, "home", "Home"},
    {K::pageUp, "pageUp", "Page Up"},
    {K::forwardDelete, "forwardDelete", "Delete"},
    {K::end, "end", "End"},
    {K::pageDown, "pageDown", "Page Down"},
    {K::function, "function", "Fn"},
    {K::f1, "f1", "F1"},
    {K::f2, "f2", "F2"},
    {K::f4, "f4", "F4"},
    {K::f5, "f5", "F5"},
    {K::f6, "f6", "F6"},
    {K::f7, "f7", "F7"},
    {K::f3, "f3", "F3"},
    {K::f8, "f8", "F8"},
    {K::f9, "f9", "F9"},
    {K::f10, "f10", "F10"},
    {K::f11, "f11", "F11"},
    {K::f12, "f12", "F12"},
    {K::f13, "f13", "F13"},
    {K::f14, "f14", "F14"},
    {K::f15, "f15", "F15"},
    {K::f16, "f16", "F16"},
    {K::f17, "f17", "F17"},
    {K::f18, "f18", "F18"},
    {K::f19, "f19", "F19"},
    {K::f20, "f20", "F20"},
    {K::a, "a", ""},
    {K::b, "b", ""},
    {K::c, "c", ""},
    {K::d, "d", ""},
    {K::e, "e", ""},
    {K::f, "f", ""},
    {K::g, "g", ""},
    {K::h, "h", ""},
    {K::i, "i", ""},
    {K::j, "j", ""},
    {K::k, "k", ""},
    {K::l, "l", ""},
    {K::m, "m", ""},
    {K::n, "n", ""},
    {K::o, "o", ""},
    {K::p, "p", ""},
    {K::q, "q", ""},
    {K::r, "r", ""},
    {K::s, "s", ""},
    {K::t, "t", ""},
    {K::u, "u", ""},
    {K::v, "v", ""},
    {K::w, "w", ""},
    {K::x, "x", ""},
    {K::y, "y", ""},
    {K::z, "z", ""},
    {K::zero, "zero", ""},
    {K::one, "one", ""},
    {K::two, "two", ""},
    {K::three, "three", ""},
    {K::four, "four", ""},
    {K::five, "five", ""},
    {K::six, "six", ""},
    {K::seven, "seven", ""},
    {K::eight, "eight", ""},
    {K::nine, "nine", ""},
    {K::equals, "equals", ""},
    {K::minus, "minus", ""},
    {K::semicolon, "semicolon", ""},
    {K::apostrophe, "apostrophe", ""},
    {K::comma, "comma", ""},
    {K::period, "period", ""},
    {K::forwardSlash, "forwardSlash", ""},
    {K::backslash, "backslash", ""},
    {K::grave, "grave", ""},
    {K::leftBracket, "leftBracket", ""},
    {K::rightBracket, "rightBracket", ""},
    {K::keypadDecimal, "keypadDecimal", "Keypad ."},
    {K::keypadMultiply, "keypadMultiply", "Keypad *"},
    {K::keypadPlus, "keypadPlus", "Keypad +"},
    {K::keypadClear, "keypadClear", "Keypad Clear"},
    {K::keypadDivide, "keypadDivide", "Keypad /"},
    {K::keypadMinus, "keypadMinus", "Keypad -"},
    {K::keypadEquals, "keypadEquals", "Keypad ="},
    {K::keypad0, "keypad0", "Keypad 0"},
    {K::keypad1, "keypad1", "Keypad 1"},
    {K::keypad2, "keypad2", "Keypad 2"},
    {K::keypad3, "keypad3", "Keypad 3"},
    {K::keypad4, "keypad4", "Keypad 4"},
    {K::keypad5, "keypad5", "Keypad 5"},
    {K::keypad6, "keypad6", "Keypad 6"},
    {K::keypad7, "keypad7", "Keypad 7"},
    {K::keypad8, "keypad8", "Keypad 8"},
    {K::keypad9, "keypad9", "Keypad 9"},
}};

// Raw value (0...127 keyboard, 0x1000...0x1017 system) to the key's row, or -1.
struct Index {
    std::array<int, 128> keyboard{};
    std::array<int, 24> system{};
};

constexpr Index makeIndex() {
    Index index;
    index.keyboard.fill(-1);
    index.system.fill(-1);
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        const auto raw = rawValue(kKeys[i].key);
        if (raw >= kSystemKeyOffset)
            index.system[raw - kSystemKeyOffset] = static_cast<int>(i);
        else
            index.keyboard[raw] = static_cast<int>(i);
    }
    return index;
}

constexpr Index kIndex = makeIndex();

constexpr bool everyKeyIndexed() {
    int count = 0;
    for (int v : kIndex.keyboard)
        count += v >= 0;
    for (int v : kIndex.system)
        count += v >= 0;
    return count == static_cast<int>(kKeyCodeCount);
}
static_assert(everyKeyIndexed(), "raw values must be unique and in range");

const KeyRow* rowOf(std::uint32_t raw) {
    int i = -1;
    if (raw < kIndex.keyboard.size())
        i = kIndex.keyboard[raw];
    else if (raw >= kSystemKeyOffset && raw - kSystemKeyOffset < kIndex.system.size())
        i = kIndex.system[raw - kSystemKeyOffset];
    return i < 0 ? nullptr : &kKeys[static_cast<std::size_t>(i)];
}

// The upper case of a lower-case letter in the scripts keyboard layouts produce (Latin with its
// accented letters, Greek, Cyrillic); any other code point is returned as it is.
std::uint32_t upperCase(std::uint32_t c) {
    const auto odd = [c] { return (c & 1) != 0; };
    if (c >= 'a' && c <= 'z') return c - 0x20;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) ||
        (c >= 0x430 && c <= 0x44F))
        return c - 0x20;
    if (c == 0xFF) return 0x178;
    if (c == 0x131) return 'I';
    if (c == 0x17F) return 'S';
    if (((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177) || (c >= 0x490 && c <= 0x4BF)) &&
        odd())
        return c - 1;
    if (((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) && !odd()) return c - 1;
    if (c == 0x3C2) return 0x3A3;  // final sigma
    if (c == 0x3AC) return 0x386;
    if (c >= 0x3AD && c <= 0x3AF) return c - 0x25;
    if (c == 0x3CC) return 0x38C;
    if (c == 0x3CD || c == 0x3CE) return c - 0x3F;
    if (c >= 0x450 && c <= 0x45F) return c - 0x50;
    return c;
}

// The layout's text in upper case ("a" gives "A", "é" "É", "ß" "SS"); bytes that are not UTF-8
// are kept as they are.
std::string upperCased(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto length = utf8SequenceLength(text, i);
        if (length == 0) {
            out.push_back(text[i++]);
            continue;
        }
        auto c = static_cast<std::uint32_t>(static_cast<unsigned char>(text[i]));
        if (length > 1) {
            c &= 0xFFu >> (length + 1);
            for (std::size_t k = 1; k < length; ++k)
                c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
        }
        if (c == 0xDF)
            out += "SS";
        else
            appendUtf8(out, upperCase(c));
        i += length;
    }
    return out;
}

}  // namespace

const std::array<KeyCode, kKeyCodeCount>& allKeyCodes() {
    static constexpr auto kAll = [] {
        std::array<KeyCode, kKeyCodeCount> all{};
        for (std::size_t i = 0; i < kKeys.size(); ++i)
            all[i] = kKeys[i].key;
        return all;
    }();
    return kAll;
}

std::optional<KeyCode> keyCodeFromRawValue(std::uint32_t raw) {
    const auto* r = rowOf(raw);
    if (r == nullptr) return std::nullopt;
    return r->key;
}

std::string_view caseName(KeyCode key) {
    const auto* r = rowOf(rawValue(key));
    return r == nullptr ? std::string_view{} : r->caseName;
}

std::string displayName(KeyCode key, const KeyboardLayout* layout) {
    const auto* r = rowOf(rawValue(key));
    if (r != nullptr && !r->name.empty()) return std::string(r->name);
    if (layout != nullptr) {
        if (auto text = layout->keyText(key); text && !text->empty()) return upperCased(*text);
    }
    return "<Key " + std::to_string(rawValue(key)) + ">";
}

}  // namespace joywright

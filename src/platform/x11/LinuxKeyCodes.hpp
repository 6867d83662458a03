#pragma once

#include <linux/input-event-codes.h>

#include <array>
#include <cstdint>
#include <optional>

#include "model/KeyCode.hpp"

namespace joywright {

// The Linux input key code (linux/input-event-codes.h) that each persisted key posts; the X
// keycode is that code + 8. System keys post the matching media key. KEY_RESERVED marks a key
// with no Linux counterpart (or none an X keycode can carry): posting it posts nothing.
struct LinuxKeyRow {
    KeyCode key;
    std::uint16_t linuxCode;
};

// One row per key, in declaration order.
inline constexpr std::array<LinuxKeyRow, kKeyCodeCount> kLinuxKeyCodes{{
    {KeyCode::soundUp, KEY_VOLUMEUP},
    {KeyCode::soundDown, KEY_VOLUMEDOWN},
    {KeyCode::brightnessUp, KEY_BRIGHTNESSUP},
    {KeyCode::brightnessDown, KEY_BRIGHTNESSDOWN},
    {KeyCode::power, KEY_POWER},
    {KeyCode::muteSpecial, KEY_MUTE},
    {KeyCode::numLock, KEY_NUMLOCK},
    {KeyCode::contrastUp, KEY_RESERVED},
    {KeyCode::contrastDown, KEY_RESERVED},
    {KeyCode::launchPanel, KEY_DASHBOARD},
    {KeyCode::eject, KEY_EJECTCD},
    {KeyCode::videoMirror, KEY_SWITCHVIDEOMODE},
    {KeyCode::play, KEY_PLAYPAUSE},
    {KeyCode::next, KEY_NEXTSONG},
    {KeyCode::previous, KEY_PREVIOUSSONG},
    {KeyCode::fast, KEY_FASTFORWARD},
    {KeyCode::rewind, KEY_REWIND},
    {KeyCode::illuminationUp, KEY_KBDILLUMUP},
    {KeyCode::illuminationDown, KEY_KBDILLUMDOWN},
    {KeyCode::illuminationToggle, KEY_KBDILLUMTOGGLE},
    {KeyCode::returnKey, KEY_ENTER},
    {KeyCode::enter, KEY_KPENTER},
    {KeyCode::tab, KEY_TAB},
    {KeyCode::space, KEY_SPACE},
    {KeyCode::delete_, KEY_BACKSPACE},
    {KeyCode::escape, KEY_ESC},
    {KeyCode::command, KEY_LEFTMETA},
    {KeyCode::shift, KEY_LEFTSHIFT},
    {KeyCode::capsLock, KEY_CAPSLOCK},
    {KeyCode::option, KEY_LEFTALT},
    {KeyCode::control, KEY_LEFTCTRL},
    {KeyCode::rightCommand, KEY_RIGHTMETA},
    {KeyCode::rightShift, KEY_RIGHTSHIFT},
    {KeyCode::rightOption, KEY_RIGHTALT},
    {KeyCode::rightControl, KEY_RIGHTCTRL},
    {KeyCode::leftArrow, KEY_LEFT},
    {KeyCode::rightArrow, KEY_RIGHT},
    {KeyCode::downArrow, KEY_DOWN},
    {KeyCode::upArrow, KEY_UP},
    {KeyCode::volumeUp, KEY_VOLUMEUP},
    {KeyCode::volumeDown, KEY_VOLUMEDOWN},
    {KeyCode::mute, KEY_MUTE},
    {KeyCode::help, KEY_INSERT},
    {KeyCode::home, KEY_HOME},
    {KeyCode::pageUp, KEY_PAGEUP},
    {KeyCode::forwardDelete, KEY_DELETE},
    {KeyCode::end, KEY_END},
    {KeyCode::pageDown, KEY_PAGEDOWN},
    {KeyCode::function, KEY_RESERVED},  // KEY_FN is beyond the X keycode range; X never sees Fn
    {KeyCode::f1, KEY_F1},
    {KeyCode::f2, KEY_F2},
    {KeyCode::f4, KEY_F4},
    {KeyCode::f5, KEY_F5},
    {KeyCode::f6, KEY_F6},
    {KeyCode::f7, KEY_F7},
    {KeyCode::f3, KEY_F3},
    {KeyCode::f8, KEY_F8},
    {KeyCode::f9, KEY_F9},
    {KeyCode::f10, KEY_F10},
    {KeyCode::f11, KEY_F11},
    {KeyCode::f12, KEY_F12},
    {KeyCode::f13, KEY_F13},
    {KeyCode::f14, KEY_F14},
    {KeyCode::f15, KEY_F15},
    {KeyCode::f16, KEY_F16},
    {KeyCode::f17, KEY_F17},
    {KeyCode::f18, KEY_F18},
    {KeyCode::f19, KEY_F19},
    {KeyCode::f20, KEY_F20},
    {KeyCode::a, KEY_A},
    {KeyCode::b, KEY_B},
    {KeyCode::c, KEY_C},
    {KeyCode::d, KEY_D},
    {KeyCode::e, KEY_E},
    {KeyCode::f, KEY_F},
    {KeyCode::g, KEY_G},
    {KeyCode::h, KEY_H},
    {KeyCode::i, KEY_I},
    {KeyCode::j, KEY_J},
    {KeyCode::k, KEY_K},
    {KeyCode::l, KEY_L},
    {KeyCode::m, KEY_M},
    {KeyCode::n, KEY_N},
    {KeyCode::o, KEY_O},
    {KeyCode::p, KEY_P},
    {KeyCode::q, KEY_Q},
    {KeyCode::r, KEY_R},
    {KeyCode::s, KEY_S},
    {KeyCode::t, KEY_T},
    {KeyCode::u, KEY_U},
    {KeyCode::v, KEY_V},
    {KeyCode::w, KEY_W},
    {KeyCode::x, KEY_X},
    {KeyCode::y, KEY_Y},
    {KeyCode::z, KEY_Z},
    {KeyCode::zero, KEY_0},
    {KeyCode::one, KEY_1},
    {KeyCode::two, KEY_2},
    {KeyCode::three, KEY_3},
    {KeyCode::four, KEY_4},
    {KeyCode::five, KEY_5},
    {KeyCode::six, KEY_6},
    {KeyCode::seven, KEY_7},
    {KeyCode::eight, KEY_8},
    {KeyCode::nine, KEY_9},
    {KeyCode::equals, KEY_EQUAL},
    {KeyCode::minus, KEY_MINUS},
    {KeyCode::semicolon, KEY_SEMICOLON},
    {KeyCode::apostrophe, KEY_APOSTROPHE},
    {KeyCode::comma, KEY_COMMA},
    {KeyCode::period, KEY_DOT},
    {KeyCode::forwardSlash, KEY_SLASH},
    {KeyCode::backslash, KEY_BACKSLASH},
    {KeyCode::grave, KEY_GRAVE},
    {KeyCode::leftBracket, KEY_LEFTBRACE},
    {KeyCode::rightBracket, KEY_RIGHTBRACE},
    {KeyCode::keypadDecimal, KEY_KPDOT},
    {KeyCode::keypadMultiply, KEY_KPASTERISK},
    {KeyCode::keypadPlus, KEY_KPPLUS},
    {KeyCode::keypadClear, KEY_NUMLOCK},  // the same key: USB's "Keypad Num Lock and Clear"
    {KeyCode::keypadDivide, KEY_KPSLASH},
    {KeyCode::keypadMinus, KEY_KPMINUS},
    {KeyCode::keypadEquals, KEY_KPEQUAL},
    {KeyCode::keypad0, KEY_KP0},
    {KeyCode::keypad1, KEY_KP1},
    {KeyCode::keypad2, KEY_KP2},
    {KeyCode::keypad3, KEY_KP3},
    {KeyCode::keypad4, KEY_KP4},
    {KeyCode::keypad5, KEY_KP5},
    {KeyCode::keypad6, KEY_KP6},
    {KeyCode::keypad7, KEY_KP7},
    {KeyCode::keypad8, KEY_KP8},
    {KeyCode::keypad9, KEY_KP9},
}};

// X keycodes stop at 255.
inline constexpr std::uint16_t kMaxXKeycode = 255;
inline constexpr std::uint16_t kXKeycodeOffset = 8;

namespace detail {

// Raw value (keyboard keys 0...127, system keys 4096...4119) to Linux code.
inline constexpr auto kLinuxCodeByRaw = [] {
    std::array<std::uint16_t, 128 + 32> byRaw{};
    for (const auto& row : kLinuxKeyCodes) {
        const std::size_t raw = rawValue(row.key);
        byRaw[raw >= kSystemKeyOffset ? 128 + raw - kSystemKeyOffset : raw] = row.linuxCode;
    }
    return byRaw;
}();

}  // namespace detail

// The Linux key code a key posts; none when it posts nothing.
constexpr std::optional<std::uint16_t> linuxKeyCode(KeyCode key) {
    const std::size_t raw = rawValue(key);
    const std::size_t index = raw >= kSystemKeyOffset ? 128 + raw - kSystemKeyOffset : raw;
    if (index >= detail::kLinuxCodeByRaw.size()) return std::nullopt;
    const std::uint16_t code = detail::kLinuxCodeByRaw[index];
    if (code == KEY_RESERVED || code > kMaxXKeycode - kXKeycodeOffset) return std::nullopt;
    return code;
}

// The X keycode a key posts; none when it posts nothing.
constexpr std::optional<unsigned> xKeycode(KeyCode key) {
    const auto code = linuxKeyCode(key);
    if (!code) return std::nullopt;
    return static_cast<unsigned>(*code) + kXKeycodeOffset;
}

}  // namespace joywright

#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace joywright {

class KeyboardLayout;

// A key a mapping can press. The raw value is the persisted number: for keyboard keys the virtual
// key code of the physical key (positions on the ANSI layout, not characters); for the 20 system
// (media and brightness) keys 0x1000 plus the system key type.
enum class KeyCode : std::uint16_t {
    // System keys.
    soundUp = 4096,
    soundDown = 4097,
    brightnessUp = 4098,
    brightnessDown = 4099,
    power = 4102,
    muteSpecial = 4103,
    numLock = 4106,
    contrastUp = 4107,
    contrastDown = 4108,
    launchPanel = 4109,
    eject = 4110,
    videoMirror = 4111,
    play = 4112,
    next = 4113,
    previous = 4114,
    fast = 4115,
    rewind = 4116,
    illuminationUp = 4117,
    illuminationDown = 4118,
    illuminationToggle = 4119,
    // Keyboard keys.
    returnKey = 36,
    enter = 76,
    tab = 48,
    space = 49,
    delete_ = 51,
    escape = 53,
    command = 55,
    shift = 56,
    capsLock = 57,
    option = 58,
    control = 59,
    rightCommand = 54,
    rightShift = 60,
    rightOption = 61,
    rightControl = 62,
    leftArrow = 123,
    rightArrow = 124,
    downArrow = 125,
    upArrow = 126,
    volumeUp = 72,
    volumeDown = 73,
    mute = 74,
    help = 114,
    home = 115,
    pageUp = 116,
    forwardDelete = 117,
    end = 119,
    pageDown = 121,
    function = 63,
    f1 = 122,
    f2 = 120,
    f4 = 118,
    f5 = 96,
    f6 = 97,
    f7 = 98,
    f3 = 99,
    f8 = 100,
    f9 = 101,
    f10 = 109,
    f11 = 103,
    f12 = 111,
    f13 = 105,
    f14 = 107,
    f15 = 113,
    f16 = 106,
    f17 = 64,
    f18 = 79,
    f19 = 80,
    f20 = 90,
    a = 0,
    b = 11,
    c = 8,
    d = 2,
    e = 14,
    f = 3,
    g = 5,
    h = 4,
    i = 34,
    j = 38,
    k = 40,
    l = 37,
    m = 46,
    n = 45,
    o = 31,
    p = 35,
    q = 12,
    r = 15,
    s = 1,
    t = 17,
    u = 32,
    v = 9,
    w = 13,
    x = 7,
    y = 16,
    z = 6,
    zero = 29,
    one = 18,
    two = 19,
    three = 20,
    four = 21,
    five = 23,
    six = 22,
    seven = 26,
    eight = 28,
    nine = 25,
    equals = 24,
    minus = 27,
    semicolon = 41,
    apostrophe = 39,
    comma = 43,
    period = 47,
    forwardSlash = 44,
    backslash = 42,
    grave = 50,
    leftBracket = 33,
    rightBracket = 30,
    keypadDecimal = 65,
    keypadMultiply = 67,
    keypadPlus = 69,
    keypadClear = 71,
    keypadDivide = 75,
    keypadMinus = 78,
    keypadEquals = 81,
    keypad0 = 82,
    keypad1 = 83,
    keypad2 = 84,
    keypad3 = 85,
    keypad4 = 86,
    keypad5 = 87,
    keypad6 = 88,
    keypad7 = 89,
    keypad8 = 91,
    keypad9 = 92,
};

inline constexpr std::size_t kKeyCodeCount = 133;
inline constexpr std::uint16_t kSystemKeyOffset = 0x1000;

// All 133 keys in declaration order: the 20 system keys, then the 113 keyboard keys.
const std::array<KeyCode, kKeyCodeCount>& allKeyCodes();

constexpr std::uint16_t rawValue(KeyCode key) { return static_cast<std::uint16_t>(key); }
// The exact inverse of the table; any other number gives none.
std::optional<KeyCode> keyCodeFromRawValue(std::uint32_t raw);

constexpr bool isSystemKey(KeyCode key) { return rawValue(key) >= kSystemKeyOffset; }
// The platform's system-defined key type (raw value - 0x1000); only meaningful for system keys.
constexpr int systemKeyType(KeyCode key) { return rawValue(key) - kSystemKeyOffset; }

// The case name as written in code ("returnKey", "delete", "f3"), for logs and test tokens.
std::string_view caseName(KeyCode key);

// What a person reads: fixed names for named keys ("Backspace", "Insert" for help, "Left Super"
// for command), the layout's upper-cased character for letters, digits, punctuation and the three
// volume keys, or "<Key N>" when `layout` is null or gives nothing.
std::string displayName(KeyCode key, const KeyboardLayout* layout);

}  // namespace joywright

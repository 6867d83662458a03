#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "FakeKeyboardLayout.hpp"
#include "model/KeyCode.hpp"

namespace joywright {
namespace {

// Every key in declaration order with its persisted number, as published for the format.
constexpr std::string_view kKeyTable = R"(
soundUp 4096 soundDown 4097 brightnessUp 4098 brightnessDown 4099 power 4102 muteSpecial 4103
numLock 4106 contrastUp 4107 contrastDown 4108 launchPanel 4109 eject 4110 videoMirror 4111
play 4112 next 4113 previous 4114 fast 4115 rewind 4116 illuminationUp 4117
illuminationDown 4118 illuminationToggle 4119
returnKey 36 enter 76 tab 48 space 49 delete 51 escape 53 command 55 shift 56 capsLock 57
option 58 control 59 rightCommand 54 rightShift 60 rightOption 61 rightControl 62 leftArrow 123
rightArrow 124 downArrow 125 upArrow 126 volumeUp 72 volumeDown 73 mute 74 help 114 home 115
pageUp 116 forwardDelete 117 end 119 pageDown 121 function 63 f1 122 f2 120 f4 118 f5 96 f6 97
f7 98 f3 99 f8 100 f9 101 f10 109 f11 103 f12 111 f13 105 f14 107 f15 113 f16 106 f17 64 f18 79
f19 80 f20 90 a 0 b 11 c 8 d 2 e 14 f 3 g 5 h 4 i 34 j 38 k 40 l 37 m 46 n 45 o 31 p 35 q 12
r 15 s 1 t 17 u 32 v 9 w 13 x 7 y 16 z 6 zero 29 one 18 two 19 three 20 four 21 five 23 six 22
seven 26 eight 28 nine 25 equals 24 minus 27 semicolon 41 apostrophe 39 comma 43 period 47
forwardSlash 44 backslash 42 grave 50 leftBracket 33 rightBracket 30 keypadDecimal 65
keypadMultiply 67 keypadPlus 69 keypadClear 71 keypadDivide 75 keypadMinus 78 keypadEquals 81
keypad0 82 keypad1 83 keypad2 84 keypad3 85 keypad4 86 keypad5 87 keypad6 88 keypad7 89
keypad8 91 keypad9 92
)";

// Fixed names as a Linux user reads them; F1 to F20 and Keypad 0 to 9 follow fixedName's rule.
// clang-format off
constexpr std::pair<std::string_view, std::string_view> kFixedNames[] = {
    {"soundUp", "Volume Up"}, {"soundDown", "Volume Down"}, {"brightnessUp", "Brightness Up"},
    {"brightnessDown", "Brightness Down"}, {"power", "Power"}, {"muteSpecial", "Mute"},
    {"numLock", "Num Lock"}, {"contrastUp", "Contrast Up"}, {"contrastDown", "Contrast Down"},
    {"launchPanel", "Launchpad"}, {"eject", "Eject"}, {"videoMirror", "Video Mirror"},
    {"play", "Play/Pause"}, {"next", "Next Track"}, {"previous", "Previous Track"},
    {"fast", "Fast Forward"}, {"rewind", "Rewind"}, {"illuminationUp", "Kbd Brightness Up"},
    {"illuminationDown", "Kbd Brightness Down"}, {"illuminationToggle", "Kbd Brightness Toggle"},
    {"returnKey", "Return"}, {"enter", "Enter"}, {"tab", "Tab"}, {"space", "Space"},
    {"delete", "Backspace"}, {"escape", "Escape"}, {"command", "Left Super"},
    {"shift", "Left Shift"}, {"capsLock", "Caps Lock"}, {"option", "Left Alt"},
    {"control", "Left Control"}, {"rightCommand", "Right Super"}, {"rightShift", "Right Shift"},
    {"rightOption", "Right Alt"}, {"rightControl", "Right Control"}, {"leftArrow", "Left"},
    {"rightArrow", "Right"}, {"downArrow", "Down"}, {"upArrow", "Up"}, {"help", "Insert"},
    {"home", "Home"}, {"pageUp", "Page Up"}, {"forwardDelete", "Delete"}, {"end", "End"},
    {"pageDown", "Page Down"}, {"function", "Fn"}, {"keypadDecimal", "Keypad ."},
    {"keypadMultiply", "Keypad *"}, {"keypadPlus", "Keypad +"}, {"keypadClear", "Keypad Clear"},
    {"keypadDivide", "Keypad /"}, {"keypadMinus", "Keypad -"}, {"keypadEquals", "Keypad ="}};
// clang-format on

// The fixed name of the key with this case name; none for the keys the layout names.
std::optional<std::string> fixedName(std::string_view name) {
    for (auto [key, text] : kFixedNames)
        if (key == name) return std::string(text);
    const auto digits = name.find_first_of("0123456789");
    if (digits == std::string_view::npos) return std::nullopt;
    if (name.substr(0, digits) == "f") return "F" + std::string(name.substr(digits));
    if (name.substr(0, digits) == "keypad") return "Keypad " + std::string(name.substr(digits));
    return std::nullopt;
}

TEST(KeyCode, TableHoldsEveryKeyInOrderWithItsPersistedNumber) {
    std::istringstream table{std::string(kKeyTable)};
    std::string name;
    unsigned raw = 0;
    std::size_t i = 0;
    const auto& all = allKeyCodes();
    while (table >> name >> raw) {
        SCOPED_TRACE(name);
        ASSERT_LT(i, all.size());
        EXPECT_EQ(caseName(all[i]), name);
        EXPECT_EQ(rawValue(all[i]), raw);
        EXPECT_EQ(keyCodeFromRawValue(raw), all[i]);
        EXPECT_EQ(isSystemKey(all[i]), i < 20);
        if (isSystemKey(all[i])) {
            EXPECT_EQ(systemKeyType(all[i]), static_cast<int>(raw) - 4096);
        }
        ++i;
    }
    EXPECT_EQ(i, kKeyCodeCount);
}

TEST(KeyCode, NoNumberOutsideTheTableMakesAKey) {
    // Every number that makes a key makes the one with that number; with the table walk above,
    // that leaves 4100, 10, 52 and the rest without a key. Past 0xFFFF catches a 16-bit cut.
    std::size_t found = 0;
    for (std::uint32_t raw = 0; raw < 0x20000; ++raw)
        if (const auto key = keyCodeFromRawValue(raw)) {
            ++found;
            EXPECT_EQ(rawValue(*key), raw);
        }
    EXPECT_EQ(found, kKeyCodeCount);
}

TEST(KeyCode, DisplayNamesAreFixedOrComeFromTheLayout) {
    std::map<KeyCode, std::string> texts;
    for (auto key : allKeyCodes())
        texts[key] = "x";
    const FakeKeyboardLayout layout(texts);
    std::size_t layoutNamed = 0;
    for (auto key : allKeyCodes()) {
        SCOPED_TRACE(std::string(caseName(key)));
        if (const auto fixed = fixedName(caseName(key))) {
            EXPECT_EQ(displayName(key, nullptr), *fixed);
            EXPECT_EQ(displayName(key, &layout), *fixed);
        } else {
            ++layoutNamed;
            EXPECT_EQ(displayName(key, nullptr), "<Key " + std::to_string(rawValue(key)) + ">");
            EXPECT_EQ(displayName(key, &layout), "X");
        }
    }
    // 26 letters, 10 digits, 11 punctuation keys and the three keyboard volume keys; keys with a
    // fixed name never ask the layout.
    EXPECT_EQ(layoutNamed, 50u);
    EXPECT_EQ(layout.queries, 50);
}

TEST(KeyCode, LayoutNamesAreUpperCasedAndFallBackWhenTheLayoutGivesNothing) {
    struct Case {
        KeyCode key;
        std::string_view layoutText;  // what a French layout gives
        std::string_view name;
    };
    constexpr Case kCases[] = {
        {KeyCode::q, "a", "A"},          {KeyCode::two, "é", "É"},
        {KeyCode::minus, "ß", "SS"},     {KeyCode::semicolon, "й", "Й"},
        {KeyCode::w, "ς", "Σ"},          {KeyCode::e, "\xFF", "\xFF"},  // not UTF-8: kept
        {KeyCode::mute, "", "<Key 74>"},
    };
    std::map<KeyCode, std::string> texts;
    for (const auto& c : kCases)
        texts[c.key] = c.layoutText;
    const FakeKeyboardLayout french(texts);
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(caseName(c.key)));
        EXPECT_EQ(displayName(c.key, &french), c.name);
    }
    EXPECT_EQ(displayName(KeyCode::a, &french), "<Key 0>");  // a key the layout does not know
}

}  // namespace
}  // namespace joywright

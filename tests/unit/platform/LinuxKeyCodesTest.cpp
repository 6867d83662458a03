#include "platform/x11/LinuxKeyCodes.hpp"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "model/ModifierKey.hpp"

namespace joywright {
namespace {

TEST(LinuxKeyCodes, HasOneRowPerKeyInDeclarationOrder) {
    const auto& all = allKeyCodes();
    ASSERT_EQ(kLinuxKeyCodes.size(), all.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        SCOPED_TRACE(std::string(caseName(all[i])));
        EXPECT_EQ(kLinuxKeyCodes[i].key, all[i]);
    }
}

TEST(LinuxKeyCodes, EveryPostedKeyFitsAnXKeycode) {
    for (const KeyCode key : allKeyCodes()) {
        SCOPED_TRACE(std::string(caseName(key)));
        const auto code = linuxKeyCode(key);
        const auto x = xKeycode(key);
        ASSERT_EQ(code.has_value(), x.has_value());
        if (!code) continue;
        EXPECT_NE(*code, KEY_RESERVED);
        EXPECT_EQ(*x, *code + 8u);
        EXPECT_LE(*x, 255u);
    }
}

TEST(LinuxKeyCodes, OnlyKeysWithoutALinuxCounterpartPostNothing) {
    std::set<KeyCode> silent;
    for (const KeyCode key : allKeyCodes()) {
        if (!linuxKeyCode(key)) silent.insert(key);
    }
    EXPECT_EQ(silent,
              (std::set<KeyCode>{KeyCode::contrastUp, KeyCode::contrastDown, KeyCode::function}));
}

TEST(LinuxKeyCodes, KeysShareACodeOnlyWhereTheyAreTheSameKeyOnLinux) {
    std::map<std::uint16_t, std::set<KeyCode>> byCode;
    for (const KeyCode key : allKeyCodes()) {
        if (const auto code = linuxKeyCode(key)) byCode[*code].insert(key);
    }
    std::set<std::set<KeyCode>> shared;
    for (const auto& [code, keys] : byCode) {
        if (keys.size() > 1) shared.insert(keys);
    }
    EXPECT_EQ(shared, (std::set<std::set<KeyCode>>{
                          {KeyCode::soundUp, KeyCode::volumeUp},
                          {KeyCode::soundDown, KeyCode::volumeDown},
                          {KeyCode::muteSpecial, KeyCode::mute},
                          {KeyCode::numLock, KeyCode::keypadClear},
                      }));
}

struct KeyCase {
    KeyCode key;
    std::uint16_t linuxCode;
};

TEST(LinuxKeyCodes, NamedKeysPostTheirLinuxKeys) {
    constexpr KeyCase cases[] = {
        {KeyCode::a, KEY_A},
        {KeyCode::q, KEY_Q},
        {KeyCode::zero, KEY_0},
        {KeyCode::returnKey, KEY_ENTER},
        {KeyCode::enter, KEY_KPENTER},
        {KeyCode::delete_, KEY_BACKSPACE},
        {KeyCode::forwardDelete, KEY_DELETE},
        {KeyCode::help, KEY_INSERT},
        {KeyCode::grave, KEY_GRAVE},
        {KeyCode::f3, KEY_F3},
        {KeyCode::f13, KEY_F13},
        {KeyCode::f20, KEY_F20},
        {KeyCode::keypad7, KEY_KP7},
        {KeyCode::keypadEquals, KEY_KPEQUAL},
        {KeyCode::leftArrow, KEY_LEFT},
        {KeyCode::upArrow, KEY_UP},
        {KeyCode::play, KEY_PLAYPAUSE},
        {KeyCode::next, KEY_NEXTSONG},
        {KeyCode::previous, KEY_PREVIOUSSONG},
        {KeyCode::fast, KEY_FASTFORWARD},
        {KeyCode::rewind, KEY_REWIND},
        {KeyCode::eject, KEY_EJECTCD},
        {KeyCode::brightnessUp, KEY_BRIGHTNESSUP},
        {KeyCode::brightnessDown, KEY_BRIGHTNESSDOWN},
        {KeyCode::illuminationToggle, KEY_KBDILLUMTOGGLE},
        {KeyCode::power, KEY_POWER},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(caseName(c.key)));
        EXPECT_EQ(linuxKeyCode(c.key), c.linuxCode);
    }
}

TEST(LinuxKeyCodes, ModifiersPressTheRealModifierKeys) {
    constexpr std::pair<ModifierKey, std::uint16_t> cases[] = {
        {ModifierKey::leftShift, KEY_LEFTSHIFT},  {ModifierKey::rightShift, KEY_RIGHTSHIFT},
        {ModifierKey::leftControl, KEY_LEFTCTRL}, {ModifierKey::rightControl, KEY_RIGHTCTRL},
        {ModifierKey::leftOption, KEY_LEFTALT},   {ModifierKey::rightOption, KEY_RIGHTALT},
        {ModifierKey::leftCommand, KEY_LEFTMETA}, {ModifierKey::rightCommand, KEY_RIGHTMETA},
    };
    for (const auto& [modifier, code] : cases) {
        SCOPED_TRACE(std::string(persistedName(modifier)));
        EXPECT_EQ(linuxKeyCode(keyCode(modifier)), code);
    }
}

}  // namespace
}  // namespace joywright

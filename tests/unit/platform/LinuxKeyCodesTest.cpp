#include "platform/x11/LinuxKeyCodes.hpp"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "model/ModifierKey.hpp"

namespace joywright {
namespace {

// One walk over every key: the table is in declaration order and every posted key fits an X
// keycode; only keys with no Linux counterpart post nothing, and keys share a code only where
// they are the same key on Linux.
TEST(LinuxKeyCodes, EveryKeyPostsItsOwnLinuxKeyOrNothing) {
    const auto& all = allKeyCodes();
    ASSERT_EQ(kLinuxKeyCodes.size(), all.size());
    std::set<KeyCode> silent;
    std::map<std::uint16_t, std::set<KeyCode>> byCode;
    for (std::size_t i = 0; i < all.size(); ++i) {
        const KeyCode key = all[i];
        SCOPED_TRACE(std::string(caseName(key)));
        EXPECT_EQ(kLinuxKeyCodes[i].key, key);
        const auto code = linuxKeyCode(key);
        const auto x = xKeycode(key);
        ASSERT_EQ(code.has_value(), x.has_value());
        if (!code) {
            silent.insert(key);
            continue;
        }
        EXPECT_NE(*code, KEY_RESERVED);
        EXPECT_EQ(*x, *code + 8u);
        EXPECT_LE(*x, 255u);
        byCode[*code].insert(key);
    }
    EXPECT_EQ(silent,
              (std::set<KeyCode>{KeyCode::contrastUp, KeyCode::contrastDown, KeyCode::function}));
    std::set<std::set<KeyCode>> shared;
    for (const auto& [code, keys] : byCode)
        if (keys.size() > 1) shared.insert(keys);
    EXPECT_EQ(shared, (std::set<std::set<KeyCode>>{
                          {KeyCode::soundUp, KeyCode::volumeUp},
                          {KeyCode::soundDown, KeyCode::volumeDown},
                          {KeyCode::muteSpecial, KeyCode::mute},
                          {KeyCode::numLock, KeyCode::keypadClear},
                      }));
}

// Keys whose Linux counterpart is a choice rather than a name match, and the modifiers
// (Command is Super, Option is Alt).
TEST(LinuxKeyCodes, KeysWithALinuxNameOfTheirOwnPostThatKey) {
    const std::pair<KeyCode, std::uint16_t> cases[] = {
        {KeyCode::returnKey, KEY_ENTER},
        {KeyCode::enter, KEY_KPENTER},
        {KeyCode::delete_, KEY_BACKSPACE},
        {KeyCode::forwardDelete, KEY_DELETE},
        {KeyCode::help, KEY_INSERT},
        {KeyCode::play, KEY_PLAYPAUSE},
        {KeyCode::eject, KEY_EJECTCD},
        {keyCode(ModifierKey::leftShift), KEY_LEFTSHIFT},
        {keyCode(ModifierKey::rightShift), KEY_RIGHTSHIFT},
        {keyCode(ModifierKey::leftControl), KEY_LEFTCTRL},
        {keyCode(ModifierKey::rightControl), KEY_RIGHTCTRL},
        {keyCode(ModifierKey::leftOption), KEY_LEFTALT},
        {keyCode(ModifierKey::rightOption), KEY_RIGHTALT},
        {keyCode(ModifierKey::leftCommand), KEY_LEFTMETA},
        {keyCode(ModifierKey::rightCommand), KEY_RIGHTMETA},
    };
    for (const auto& [key, code] : cases) {
        SCOPED_TRACE(std::string(caseName(key)));
        EXPECT_EQ(linuxKeyCode(key), code);
    }
}

}  // namespace
}  // namespace joywright

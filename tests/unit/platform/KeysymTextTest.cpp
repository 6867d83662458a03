#include "platform/x11/KeysymText.hpp"

#include <gtest/gtest.h>

namespace joywright {
namespace {

struct KeysymCase {
    std::uint32_t keysym;
    const char* name;
    std::optional<std::string> text;
};

TEST(KeysymDisplayText, ShowsTheUpperCasedCharacterAndNothingForUnprintableKeys) {
    const KeysymCase cases[] = {
        {0x61, "a", "A"},
        {0x41, "A", "A"},
        {0x3b, "semicolon", ";"},
        {0xe9, "eacute", "É"},
        {0x6c6, "Cyrillic_ef", "Ф"},
        {0x7e1, "Greek_alpha", "Α"},
        {0x10000e9, "U+00E9", "É"},
        {0xfe51, "dead_acute", "´"},
        {0xfe52, "dead_circumflex", "^"},
        {0xfe57, "dead_diaeresis", "¨"},
        {0, "NoSymbol", std::nullopt},
        {0xff0d, "Return", std::nullopt},
        {0xff1b, "Escape", std::nullopt},
        {0xffff, "Delete", std::nullopt},
        {0xffe1, "Shift_L", std::nullopt},
        {0x1008ff13, "XF86AudioRaiseVolume", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(keysymDisplayText(c.keysym), c.text);
    }
}

}  // namespace
}  // namespace joywright

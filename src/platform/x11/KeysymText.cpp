#include "platform/x11/KeysymText.hpp"

#include <xkbcommon/xkbcommon.h>

#include <array>
#include <string_view>

namespace joywright {

namespace {

struct DeadKeyRow {
    std::uint32_t keysym;
    std::string_view text;
};

// Dead keys have no character of their own; they show the accent they add.
constexpr std::array<DeadKeyRow, 13> kDeadKeys{{
    {0xfe50, "`"},  // dead_grave
    {0xfe51, "´"},  // dead_acute
    {0xfe52, "^"},  // dead_circumflex
    {0xfe53, "~"},  // dead_tilde
    {0xfe54, "¯"},  // dead_macron
    {0xfe55, "˘"},  // dead_breve
    {0xfe56, "˙"},  // dead_abovedot
    {0xfe57, "¨"},  // dead_diaeresis
    {0xfe58, "˚"},  // dead_abovering
    {0xfe59, "˝"},  // dead_doubleacute
    {0xfe5a, "ˇ"},  // dead_caron
    {0xfe5b, "¸"},  // dead_cedilla
    {0xfe5c, "˛"},  // dead_ogonek
}};

}  // namespace

std::optional<std::string> keysymDisplayText(std::uint32_t keysym) {
    for (const auto& row : kDeadKeys) {
        if (row.keysym == keysym) return std::string(row.text);
    }
    char buffer[16] = {};
    const int written = xkb_keysym_to_utf8(xkb_keysym_to_upper(keysym), buffer, sizeof buffer);
    if (written <= 1) return std::nullopt;  // the count includes the terminating NUL
    const std::string text(buffer, static_cast<std::size_t>(written - 1));
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) return std::nullopt;  // Return, Tab, Escape, Delete
    }
    return text;
}

}  // namespace joywright

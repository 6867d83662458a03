#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace joywright {

// What a key with X keysym `keysym` shows on its cap: the keysym's character upper-cased, as
// UTF-8 ("a" gives "A", "Cyrillic_ef" gives "Ф", "semicolon" gives ";"); a dead key shows its
// accent ("dead_acute" gives "´"). None for keysyms without a printable character (NoSymbol,
// Return, the media keys).
std::optional<std::string> keysymDisplayText(std::uint32_t keysym);

}  // namespace joywright

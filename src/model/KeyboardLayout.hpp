#pragma once

#include <optional>
#include <string>

#include "model/KeyCode.hpp"

namespace joywright {

// The user's current keyboard layout, asked for the names of layout-dependent keys.
class KeyboardLayout {
public:
    virtual ~KeyboardLayout() = default;

    // The text the key produces with no modifier held, in the current layout (UTF-8), or none when
    // the layout cannot say. Called on the main thread.
    virtual std::optional<std::string> keyText(KeyCode key) const = 0;
};

}  // namespace joywright

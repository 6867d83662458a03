#pragma once

#include <cstdint>
#include <memory>

#include "model/KeyboardLayout.hpp"
#include "platform/x11/X11Connection.hpp"

struct _XkbDesc;

namespace joywright {

// Key names from the X server's keyboard layout (XKB): the keysym of the key at level 0 (no
// modifier) in the current group, as upper-cased text. Follows layout and group changes. With
// a null connection, or a server without XKB, every key gives none (the core then shows
// "<Key N>"). Main thread only.
class X11KeyboardLayout final : public KeyboardLayout {
public:
    explicit X11KeyboardLayout(std::shared_ptr<X11Connection> connection);
    ~X11KeyboardLayout() override;
    X11KeyboardLayout(const X11KeyboardLayout&) = delete;
    X11KeyboardLayout& operator=(const X11KeyboardLayout&) = delete;

    std::optional<std::string> keyText(KeyCode key) const override;

private:
    _XkbDesc* keymap() const;

    std::shared_ptr<X11Connection> connection_;
    // The keymap as last fetched, and the connection's keymap generation it belongs to.
    mutable _XkbDesc* keymap_ = nullptr;
    mutable std::uint64_t keymapGeneration_ = 0;
};

}  // namespace joywright

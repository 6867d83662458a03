#include "platform/x11/X11KeyboardLayout.hpp"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include "platform/x11/KeysymText.hpp"
#include "platform/x11/LinuxKeyCodes.hpp"

namespace joywright {

X11KeyboardLayout::X11KeyboardLayout(std::shared_ptr<X11Connection> connection) {
    if (connection != nullptr && connection->hasXkb()) connection_ = std::move(connection);
}

X11KeyboardLayout::~X11KeyboardLayout() {
    if (keymap_ != nullptr) XkbFreeKeyboard(keymap_, 0, True);
}

XkbDescPtr X11KeyboardLayout::keymap() const {
    const std::uint64_t generation = connection_->keymapGeneration();
    if (keymap_ != nullptr && generation == keymapGeneration_) return keymap_;
    if (keymap_ != nullptr) XkbFreeKeyboard(keymap_, 0, True);
    keymap_ = XkbGetMap(connection_->display(), XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
    keymapGeneration_ = generation;
    return keymap_;
}

std::optional<std::string> X11KeyboardLayout::keyText(KeyCode key) const {
    if (connection_ == nullptr) return std::nullopt;
    const auto keycode = xKeycode(key);
    if (!keycode) return std::nullopt;
    XkbDescPtr map = keymap();
    if (map == nullptr || map->map == nullptr || *keycode < map->min_key_code ||
        *keycode > map->max_key_code) {
        return std::nullopt;
    }
    const auto xkbKeycode = static_cast<::KeyCode>(*keycode);
    const int groups = XkbKeyNumGroups(map, xkbKeycode);
    if (groups <= 0) return std::nullopt;

    // A group beyond the key's own groups is brought into range the way the key says.
    int group = connection_->keyboardGroup();
    if (group >= groups) {
        const unsigned char info = XkbKeyGroupInfo(map, xkbKeycode);
        switch (XkbOutOfRangeGroupAction(info)) {
            case XkbRedirectIntoRange: {
                const int target = XkbOutOfRangeGroupNumber(info);
                group = target < groups ? target : 0;
                break;
            }
            case XkbClampIntoRange:
                group = groups - 1;
                break;
            default:
                group %= groups;
                break;
        }
    }
    const KeySym keysym = XkbKeySymEntry(map, xkbKeycode, 0, group);
    if (keysym == NoSymbol) return std::nullopt;
    return keysymDisplayText(static_cast<std::uint32_t>(keysym));
}

}  // namespace joywright

#pragma once

#include <cstdint>
#include <optional>

#include "engine/Geometry.hpp"
#include "model/KeyCode.hpp"
#include "model/ModifierKey.hpp"
#include "model/MouseButton.hpp"

namespace joywright {

// Everything the engine sends to the system passes through here. Implementations turn each
// request into platform events (see KeyEvents.hpp for the keyboard events a request expands to,
// computed in the core so every platform makes the same decisions). An event the platform cannot
// make is skipped silently. Main thread only.
class EventSynthesizer {
public:
    virtual ~EventSynthesizer() = default;

    // A key-down or key-up of a combo, or a modifier-only change: newly pressed modifiers, then
    // the key, then released modifiers. `current` is the modifier set after the change.
    virtual void postKey(std::optional<KeyCode> key, ModifierSet released, ModifierSet pressed,
                         ModifierSet current, bool isDown) = 0;
    // One auto-repeat key-down of a held key; no modifier events.
    virtual void postKeyRepeat(KeyCode key, ModifierSet modifiers) = 0;
    // clickCount: 1 single, 2 double, 3 triple; 0 for a release-all.
    virtual void postMouseButton(MouseButton button, bool isDown, int clickCount, Point point) = 0;
    // Absolute motion to `point`, dragging `dragButton` when one is held.
    virtual void postMouseMove(Point point, std::optional<MouseButton> dragButton) = 0;
    // Relative motion in whole points, for programs that capture the pointer.
    virtual void postRelativeMouseMove(int dx, int dy) = 0;
    // Pixel-unit scrolling: wheel1 vertical (positive up), wheel2 horizontal (positive left).
    virtual void postScroll(std::int32_t wheel1, std::int32_t wheel2) = 0;
    // Line-unit scrolling, one notch per unit; same signs as postScroll.
    virtual void postScrollNotch(std::int32_t wheel1, std::int32_t wheel2) = 0;
};

}  // namespace joywright

#pragma once

#include <memory>

#include "engine/EventSynthesizer.hpp"
#include "engine/KeyEvents.hpp"
#include "platform/x11/X11Connection.hpp"
#include "platform/x11/XPointerEvents.hpp"

namespace joywright {

// Posts the engine's events to the X server through XTest, where they look like input from real
// devices. Keys go through the table of LinuxKeyCodes.hpp (modifier steps press the modifier
// keys themselves; system keys press media keys; keys without a Linux counterpart post nothing).
// Requests leave at the end of the connection's current batch (one per engine tick), or at once
// outside a batch. With a null connection, or a server without XTest, nothing is posted.
// Main thread only.
class XTestEventSynthesizer final : public EventSynthesizer {
public:
    explicit XTestEventSynthesizer(std::shared_ptr<X11Connection> connection);

    void postKey(std::optional<KeyCode> key, ModifierSet released, ModifierSet pressed,
                 ModifierSet current, bool isDown) override;
    void postKeyRepeat(KeyCode key, ModifierSet modifiers) override;
    void postMouseButton(MouseButton button, bool isDown, int clickCount, Point point) override;
    void postMouseMove(Point point, std::optional<MouseButton> dragButton) override;
    void postRelativeMouseMove(int dx, int dy) override;
    void postScroll(std::int32_t wheel1, std::int32_t wheel2) override;
    void postScrollNotch(std::int32_t wheel1, std::int32_t wheel2) override;

    bool canPost() const { return connection_ != nullptr; }

private:
    void post(const KeyEventList& events);
    void clickWheel(int clicks, unsigned positiveButton, unsigned negativeButton);

    // Null when there is nothing to post to.
    std::shared_ptr<X11Connection> connection_;
    // Buttons the server's pointer has; XTest refuses higher ones.
    unsigned buttonCount_ = 0;
    WheelClickAccumulator verticalPixels_;
    WheelClickAccumulator horizontalPixels_;
};

}  // namespace joywright

#include "platform/x11/XTestEventSynthesizer.hpp"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/x11/LinuxKeyCodes.hpp"
#include "support/Log.hpp"

namespace joywright {

namespace {

// X coordinates are 16-bit.
int pixel(double coordinate) {
    return static_cast<int>(std::lround(std::clamp(coordinate, -32768.0, 32767.0)));
}

}  // namespace

XTestEventSynthesizer::XTestEventSynthesizer(std::shared_ptr<X11Connection> connection) {
    if (connection == nullptr) return;
    if (!connection->hasXTest()) {
        JW_LOG_ERROR(general, "The X server on %s has no XTest extension: synthetic input is off",
                     connection->name().c_str());
        return;
    }
    connection_ = std::move(connection);
    const int count = XGetPointerMapping(connection_->display(), nullptr, 0);
    buttonCount_ = count > 0 ? static_cast<unsigned>(count) : 0;
}

void XTestEventSynthesizer::post(const KeyEventList& events) {
    if (connection_ == nullptr || events.empty()) return;
    Display* display = connection_->display();
    for (const KeyEvent& event : events) {
        // Keyboard and system-defined events alike press the key's Linux counterpart; the flag
        // words are the server's business here (it derives them from the keys held).
        if (const auto keycode = xKeycode(event.key)) {
            XTestFakeKeyEvent(display, *keycode, event.isDown ? True : False, CurrentTime);
        }
    }
    connection_->requestsQueued();
}

void XTestEventSynthesizer::postKey(std::optional<KeyCode> key, ModifierSet released,
                                    ModifierSet pressed, ModifierSet current, bool isDown) {
    post(postKeyEvents(key, released, pressed, current, isDown));
}

void XTestEventSynthesizer::postKeyRepeat(KeyCode key, ModifierSet modifiers) {
    // A press of a key already down is the server's auto-repeat.
    post(postKeyRepeatEvents(key, modifiers));
}

void XTestEventSynthesizer::postMouseButton(MouseButton button, bool isDown, int clickCount,
                                            Point /*point*/) {
    if (isDown) JW_LOG_DEBUG(input, "Mouse clicks: %ld", static_cast<long>(clickCount));
    if (connection_ == nullptr) return;
    // The press lands where the pointer is, which is `point`: the engine just read it there.
    const auto number = xButtonNumber(button);
    if (!number || *number > buttonCount_) return;
    XTestFakeButtonEvent(connection_->display(), *number, isDown ? True : False, CurrentTime);
    connection_->requestsQueued();
}

void XTestEventSynthesizer::postMouseMove(Point point, std::optional<MouseButton> /*dragButton*/) {
    if (connection_ == nullptr) return;
    // A move while a button is held is a drag to X; nothing else to say.
    XTestFakeMotionEvent(connection_->display(), -1, pixel(point.x), pixel(point.y), CurrentTime);
    connection_->notePointerTarget(point);
    connection_->requestsQueued();
}

void XTestEventSynthesizer::postRelativeMouseMove(int dx, int dy) {
    if (connection_ == nullptr) return;
    XTestFakeRelativeMotionEvent(connection_->display(), dx, dy, CurrentTime);
    connection_->forgetPointerTarget();
    connection_->requestsQueued();
}

void XTestEventSynthesizer::postScroll(std::int32_t wheel1, std::int32_t wheel2) {
    // Pixel units: X scrolls by clicks, one per 50 px.
    const int vertical = verticalPixels_.add(wheel1);
    const int horizontal = horizontalPixels_.add(wheel2);
    clickWheel(vertical, kWheelUp, kWheelDown);
    clickWheel(horizontal, kWheelLeft, kWheelRight);
}

void XTestEventSynthesizer::postScrollNotch(std::int32_t wheel1, std::int32_t wheel2) {
    // Line units: one click per line. wheel1 positive scrolls up, wheel2 positive left.
    clickWheel(std::clamp(wheel1, -kMaxWheelClicksPerPost, kMaxWheelClicksPerPost), kWheelUp,
               kWheelDown);
    clickWheel(std::clamp(wheel2, -kMaxWheelClicksPerPost, kMaxWheelClicksPerPost), kWheelLeft,
               kWheelRight);
}

void XTestEventSynthesizer::clickWheel(int clicks, unsigned positiveButton,
                                       unsigned negativeButton) {
    if (connection_ == nullptr || clicks == 0) return;
    const unsigned button = clicks > 0 ? positiveButton : negativeButton;
    if (button > buttonCount_) return;
    const int count = std::min(std::abs(clicks), kMaxWheelClicksPerPost);
    Display* display = connection_->display();
    for (int i = 0; i < count; ++i) {
        XTestFakeButtonEvent(display, button, True, CurrentTime);
        XTestFakeButtonEvent(display, button, False, CurrentTime);
    }
    connection_->requestsQueued();
}

}  // namespace joywright

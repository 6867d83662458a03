#include "platform/sdl/SdlGamepadElements.hpp"

namespace joywright {

namespace {

// The half-axis of a signed value: v above 0, else 0 (never -0).
float positivePart(float v) {
    return v > 0 ? v : 0.0f;
}

}  // namespace

SdlGamepadButton::SdlGamepadButton(std::vector<std::string> aliases)
    : aliases_(std::move(aliases)) {}

void SdlGamepadButton::setValueChangedHandler(ValueChangedHandler handler) {
    handler_ = handler ? std::make_shared<const ValueChangedHandler>(std::move(handler)) : nullptr;
}

bool SdlGamepadButton::change(float value) {
    if (value == value_) return false;
    value_ = value;
    if (auto handler = handler_) (*handler)(value);
    return true;
}

SdlGamepadDirectionPad::SdlGamepadDirectionPad(const std::string& name)
    : aliases_{name},
      up_({name + " Up"}),
      down_({name + " Down"}),
      left_({name + " Left"}),
      right_({name + " Right"}) {}

void SdlGamepadDirectionPad::setValueChangedHandler(ValueChangedHandler handler) {
    handler_ = handler ? std::make_shared<const ValueChangedHandler>(std::move(handler)) : nullptr;
}

void SdlGamepadDirectionPad::reset(float x, float y) {
    x_ = x;
    y_ = y;
    up_.reset(positivePart(y));
    down_.reset(positivePart(-y));
    left_.reset(positivePart(-x));
    right_.reset(positivePart(x));
}

bool SdlGamepadDirectionPad::change(float x, float y) {
    if (x == x_ && y == y_) return false;
    x_ = x;
    y_ = y;
    up_.change(positivePart(y));
    down_.change(positivePart(-y));
    left_.change(positivePart(-x));
    right_.change(positivePart(x));
    if (auto handler = handler_) (*handler)(x_, y_);
    return true;
}

}  // namespace joywright

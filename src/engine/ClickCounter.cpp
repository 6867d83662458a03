#include "engine/ClickCounter.hpp"

namespace joywright {

int ClickCounter::press(const MouseButton& button, Point point, double now) {
    const bool continues = button == MouseButton::left() && count_ <= 2 && prevPoint_ == point &&
                           now - prevTime_ <= doubleClickInterval_;
    count_ = continues ? count_ + 1 : 1;
    prevPoint_ = point;
    prevTime_ = now;
    return count_;
}

void ClickCounter::reset() {
    count_ = 0;
    prevPoint_ = {};
    prevTime_ = 0;
}

}  // namespace joywright

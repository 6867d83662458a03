#include "engine/ClickCounter.hpp"

namespace joywright {

int ClickCounter::press(const MouseButton& button, Point point, double now) {
    const bool isLeft = button == MouseButton::left();
    const bool continues = isLeft && prevWasLeft_ && count_ <= 2 && prevPoint_ == point &&
                           now - prevTime_ <= doubleClickInterval_;
    count_ = continues ? count_ + 1 : 1;
    prevWasLeft_ = isLeft;
    prevPoint_ = point;
    prevTime_ = now;
    return count_;
}

void ClickCounter::reset() {
    count_ = 0;
    prevWasLeft_ = false;
    prevPoint_ = {};
    prevTime_ = 0;
}

}  // namespace joywright

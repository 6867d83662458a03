#pragma once

#include "model/Output.hpp"

namespace joywright {

class Frame;

// The change handler of a button, trigger, shoulder, stick press or D-pad direction bound to one
// output. A value above the threshold presses: a key, click or notch starts once per press; a
// mouse motion or continuous scroll is re-sent with every change of the value, so an analog
// trigger steers the speed. Falling to the threshold or below releases. Main thread (the thread
// that delivers the element's changes).
class ButtonHandler {
public:
    // Strictly above this analog value (0...1) counts as pressed; 0.25 itself is released.
    static constexpr float kPressThreshold = 0.25f;

    // `frame` must outlive the handler.
    ButtonHandler(Output output, Frame& frame);

    void operator()(float value);

    bool wasPressed() const { return wasPressed_; }

private:
    Output output_;
    Frame* frame_;
    bool followsStrength_;
    bool wasPressed_ = false;
};

}  // namespace joywright

#include "controller/ButtonHandler.hpp"

#include "controller/OutputInstructions.hpp"
#include "engine/Frame.hpp"

namespace joywright {

ButtonHandler::ButtonHandler(Output output, Frame& frame)
    : output_(std::move(output)), frame_(&frame), followsStrength_(followsStrength(output_)) {}

void ButtonHandler::operator()(float value) {
    const bool pressed = value > kPressThreshold;
    if (pressed) {
        if (followsStrength_ || !wasPressed_) {
            if (auto instruction = pressInstruction(output_, value)) frame_->append(*instruction);
        }
    } else if (wasPressed_) {
        if (auto instruction = releaseInstruction(output_)) frame_->append(*instruction);
    }
    wasPressed_ = pressed;
}

}  // namespace joywright

#include "controller/ThumbstickHandler.hpp"

#include "controller/EightWaySector.hpp"
#include "controller/OutputInstructions.hpp"
#include "controller/StickReading.hpp"
#include "engine/Frame.hpp"

namespace joywright {

namespace {

float usableDeadZone(float deadZone) {
    if (!(deadZone > 0.0f)) return 0.0f;
    return deadZone > 1.0f ? 1.0f : deadZone;
}

}  // namespace

ThumbstickHandler::ThumbstickHandler(ThumbstickMode mode, ThumbstickCalibration calibration,
                                     float deadZone, const Outputs& outputs, Frame& frame)
    : mode_(mode), calibration_(calibration), deadZone_(usableDeadZone(deadZone)), frame_(&frame) {
    outputs_[index(Direction::up)] = outputs.up;
    outputs_[index(Direction::down)] = outputs.down;
    outputs_[index(Direction::left)] = outputs.left;
    outputs_[index(Direction::right)] = outputs.right;
    for (std::size_t i = 0; i < outputs_.size(); ++i)
        followsStrength_[i] = followsStrength(outputs_[i]);
}

void ThumbstickHandler::operator()(float x, float y) {
    const StickReading reading = readStick(x, y, calibration_, deadZone_);
    if (mode_ == ThumbstickMode::smooth) {
        DirectionSet next;
        if (reading.radius > deadZone_) {
            for (Direction direction : kAllDirections)
                if (reading.component(direction) > 0.0f) next.insert(direction);
        }
        transition(next, reading.components, false);
        return;
    }
    // A radius of exactly 0 has no bearing (atan2(0, 0) would read as "up"); with a dead zone of
    // 0 it must still count as centred.
    const bool centred = reading.radius < deadZone_ || reading.radius == 0.0f;
    const int sector =
        centred ? kCentredSector : eightWaySector(compassBearing(reading.x, reading.y));
    transition(sectorDirections(sector), reading.components, true);
}

void ThumbstickHandler::transition(DirectionSet next, const std::array<float, 4>& magnitudes,
                                   bool clamp) {
    for (Direction direction : activeDirections_.subtracting(next).directions()) {
        if (auto instruction = releaseInstruction(outputs_[index(direction)]))
            frame_->append(*instruction);
    }
    const StrengthLimit limit = clamp ? StrengthLimit::clamped : StrengthLimit::unclamped;
    for (Direction direction : next.directions()) {
        const std::size_t i = index(direction);
        if (activeDirections_.contains(direction) && !followsStrength_[i]) continue;
        if (auto instruction = pressInstruction(outputs_[i], magnitudes[i], limit))
            frame_->append(*instruction);
    }
    activeDirections_ = next;
}

}  // namespace joywright

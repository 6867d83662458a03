#include "controller/DriftCalibration.hpp"

#include "controller/Gamepad.hpp"

namespace joywright {

void DriftCalibration::start(std::weak_ptr<Gamepad> gamepad, Finished finished) {
    cancel();
    gamepad_ = std::move(gamepad);
    finished_ = std::move(finished);
    timer_ = loop_.schedule(seconds(kSampleInterval), [this] { tick(); });
}

void DriftCalibration::cancel() {
    timer_.cancel();
    finished_ = nullptr;
    gamepad_.reset();
    for (float& sum : sums_)
        sum = 0.0f;
    count_ = 0;
}

void DriftCalibration::tick() {
    const std::shared_ptr<Gamepad> gamepad = gamepad_.lock();
    if (!gamepad) {
        // An interrupted measurement belongs to a controller that is gone: report nothing.
        count_ = 0;
        finish();
        return;
    }
    GamepadDirectionPad& left = gamepad->leftThumbstick();
    GamepadDirectionPad& right = gamepad->rightThumbstick();
    sums_[0] += left.xAxis();
    sums_[1] += left.yAxis();
    sums_[2] += right.xAxis();
    sums_[3] += right.yAxis();
    ++count_;
    if (count_ >= static_cast<std::size_t>(kSampleCount)) {
        finish();
        return;
    }
    timer_ = loop_.schedule(seconds(kSampleInterval), [this] { tick(); });
}

void DriftCalibration::finish() {
    std::optional<ControllerCalibration> result;
    if (count_ > 0) {
        const float n = static_cast<float>(count_);
        result = ControllerCalibration{
            .left = {.x = sums_[0] / n, .y = sums_[1] / n},
            .right = {.x = sums_[2] / n, .y = sums_[3] / n},
        };
    }
    Finished finished = std::move(finished_);
    // Leave the object idle before reporting: the callback may start again or destroy it.
    cancel();
    if (finished) finished(result);
}

}  // namespace joywright

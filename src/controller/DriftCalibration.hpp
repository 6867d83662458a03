#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>

#include "controller/ControllerSettings.hpp"
#include "support/MainLoop.hpp"

namespace joywright {

class Gamepad;

// Measures where both sticks of a resting controller sit: samples the raw stick axes (no
// calibration, no dead zone) 60 times at 1/60 s on the main loop and reports the mean of each of
// the four values as a calibration. The settings screen drives it and saves the result. Main
// thread only.
class DriftCalibration {
public:
    static constexpr int kSampleCount = 60;
    static constexpr double kSampleInterval = 1.0 / 60.0;  // seconds

    // Called once when sampling ends on its own: the measured calibration, or none when nothing
    // was measured (the gamepad went away while sampling). Not called after cancel().
    using Finished = std::function<void(std::optional<ControllerCalibration>)>;

    explicit DriftCalibration(MainLoop& loop) : loop_(loop) {}
    // Stops sampling without reporting.
    ~DriftCalibration() = default;
    DriftCalibration(const DriftCalibration&) = delete;
    DriftCalibration& operator=(const DriftCalibration&) = delete;

    // Starts measuring `gamepad`, first cancelling a measurement in progress. The first sample is
    // taken 1/60 s from now, the last one second from now. If the gamepad is gone at a tick,
    // sampling ends there and reports none.
    void start(std::weak_ptr<Gamepad> gamepad, Finished finished);

    // Stops sampling, discards the samples and reports nothing.
    void cancel();

    bool isCalibrating() const { return static_cast<bool>(timer_); }
    std::size_t samplesTaken() const { return count_; }

private:
    void tick();
    void finish();

    MainLoop& loop_;
    std::weak_ptr<Gamepad> gamepad_;
    Finished finished_;
    TaskHandle timer_;
    // Running sums of left x, left y, right x, right y, in 32-bit float.
    float sums_[4] = {};
    std::size_t count_ = 0;
};

}  // namespace joywright

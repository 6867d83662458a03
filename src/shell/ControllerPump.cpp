#include "shell/ControllerPump.hpp"

namespace joywright {

ControllerPump::ControllerPump(MainLoop& loop, GamepadService& service, Probes probes)
    : loop_(loop), service_(service), probes_(std::move(probes)) {
    update();
}

void ControllerPump::engineTick() {
    service_.pump();
}

double ControllerPump::wantedRate() const {
    if (probes_.engineIsTicking && probes_.engineIsTicking()) return 0;
    if (probes_.isScanning && probes_.isScanning()) return kScanningRate;
    return kIdleRate;
}

void ControllerPump::update() {
    const double wanted = wantedRate();
    if (wanted == timerRate_) return;
    const bool faster = timerRate_ == 0 || wanted > timerRate_;
    timerRate_ = wanted;
    if (wanted == 0) {
        timer_.cancel();
    } else if (faster || !timer_) {
        arm();
    }
    // A slower pace takes over when the pending read has run.
}

void ControllerPump::arm() {
    timer_ = loop_.schedule(seconds(1.0 / timerRate_), [this] { fire(); });
}

void ControllerPump::fire() {
    timer_ = {};
    service_.pump();
    // The pump's callbacks may have started the engine or the scanner; their notifications
    // usually said so already, but a write that changed no value notifies nobody.
    const double wanted = wantedRate();
    timerRate_ = wanted;
    if (wanted > 0 && !timer_) arm();
}

}  // namespace joywright

#pragma once

#include <functional>

#include "controller/GamepadService.hpp"
#include "support/MainLoop.hpp"

namespace joywright {

// Decides when the controllers are read. While the engine ticks, it reads them at the start of
// each tick (engineTick(), called from the display link), so an input waits for one tick only.
// Otherwise a main-loop timer reads them: about 60 times a second while the input scanner
// listens, a few times a second for hot-plugging alone, so an idle program costs next to
// nothing. Call update() after anything that may start or stop the engine or the scanner.
// Main thread only.
class ControllerPump {
public:
    // Timer rates, Hz.
    static constexpr double kScanningRate = 60;
    static constexpr double kIdleRate = 4;

    struct Probes {
        // True while the engine's display link ticks (and so calls engineTick()).
        std::function<bool()> engineIsTicking;
        // True while the input scanner listens to the controller.
        std::function<bool()> isScanning;
    };

    // `service` and `loop` must outlive the pump. Starts at the pace the probes ask for.
    ControllerPump(MainLoop& loop, GamepadService& service, Probes probes);
    ControllerPump(const ControllerPump&) = delete;
    ControllerPump& operator=(const ControllerPump&) = delete;

    // Reads the controllers now: the display link's tick hook.
    void engineTick();
    // Re-chooses the pace; a faster timer pace takes effect at once.
    void update();

    // The timer's current rate, Hz; 0 while the engine reads the controllers.
    double timerRate() const { return timerRate_; }

private:
    double wantedRate() const;
    void arm();
    void fire();

    MainLoop& loop_;
    GamepadService& service_;
    Probes probes_;
    double timerRate_ = 0;
    TaskHandle timer_;
};

}  // namespace joywright

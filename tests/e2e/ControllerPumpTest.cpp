#include "shell/ControllerPump.hpp"

#include <gtest/gtest.h>

#include "support/VirtualMainLoop.hpp"

namespace joywright {
namespace {

class CountingService final : public GamepadService {
public:
    void start(GamepadCallback, GamepadCallback) override {}
    void pump() override {
        ++pumps;
        if (onPump) onPump();
    }

    int pumps = 0;
    std::function<void()> onPump;
};

class ControllerPumpTest : public testing::Test {
protected:
    ControllerPump make() {
        return ControllerPump(loop, service,
                              {.engineIsTicking = [this] { return ticking; },
                               .isScanning = [this] { return scanning; }});
    }
    // Pumps during one second of loop time.
    int pumpsPerSecond() {
        const int before = service.pumps;
        loop.advance(1.0);
        return service.pumps - before;
    }

    VirtualMainLoop loop;
    CountingService service;
    bool ticking = false;
    bool scanning = false;
};

TEST_F(ControllerPumpTest, PacesTheTimerByWhatTheProgramIsDoing) {
    ControllerPump pump = make();
    EXPECT_EQ(pumpsPerSecond(), 4);
    scanning = true;
    pump.update();
    EXPECT_EQ(pump.timerRate(), 60);
    EXPECT_NEAR(pumpsPerSecond(), 60, 1);
    ticking = true;
    pump.update();
    EXPECT_EQ(pumpsPerSecond(), 0);
    const int before = service.pumps;
    pump.engineTick();
    EXPECT_EQ(service.pumps, before + 1);
    ticking = false;
    scanning = false;
    pump.update();
    EXPECT_EQ(pumpsPerSecond(), 4);
}

TEST_F(ControllerPumpTest, AFasterPaceStartsAtOnce) {
    ControllerPump pump = make();
    loop.advance(0.01);
    scanning = true;
    pump.update();
    loop.advance(1.0 / 60);
    EXPECT_EQ(service.pumps, 1);
}

TEST_F(ControllerPumpTest, NoticesAPumpThatStartedTheEngineWithoutBeingTold) {
    ControllerPump pump = make();
    service.onPump = [this] { ticking = true; };
    loop.advance(0.25);
    EXPECT_EQ(service.pumps, 1);
    EXPECT_EQ(pump.timerRate(), 0);
    EXPECT_EQ(pumpsPerSecond(), 0);
}

}  // namespace
}  // namespace joywright

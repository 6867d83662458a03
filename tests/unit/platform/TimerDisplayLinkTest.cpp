#include "platform/x11/TimerDisplayLink.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/VirtualMainLoop.hpp"

namespace joywright {
namespace {

TEST(TimerDisplayLink, TicksAtTheRefreshRateOr250HzWhicheverIsHigher) {
    const std::pair<double, double> cases[] = {
        {60, 250},    {144, 250}, {250, 250}, {360, 360},
        {5000, 1000}, {0, 250},   {-1, 250},  {std::numeric_limits<double>::quiet_NaN(), 250},
    };
    for (const auto& [refresh, rate] : cases) {
        SCOPED_TRACE(refresh);
        VirtualMainLoop loop;
        TimerDisplayLink link(loop, refresh);
        EXPECT_EQ(link.rate(), rate);
        int ticks = 0;
        link.start([&](double) { ++ticks; });
        loop.advance(1.0);
        EXPECT_NEAR(ticks, rate, 1);
    }
}

TEST(TimerDisplayLink, HooksSurroundEachTick) {
    VirtualMainLoop loop;
    std::vector<std::string> calls;
    TimerDisplayLink link(loop, 60,
                          {.beforeTick = [&] { calls.push_back("before"); },
                           .afterTick = [&] { calls.push_back("after"); }});
    link.start([&](double) { calls.push_back("tick"); });
    loop.advance(0.009);
    EXPECT_EQ(calls,
              (std::vector<std::string>{"before", "tick", "after", "before", "tick", "after"}));
}

TEST(TimerDisplayLink, StoppingFromTheHookSkipsTheTickButEndsIt) {
    VirtualMainLoop loop;
    std::vector<std::string> calls;
    std::unique_ptr<TimerDisplayLink> link;
    link = std::make_unique<TimerDisplayLink>(
        loop, 60,
        TimerDisplayLink::Hooks{.beforeTick = [&] { link->stop(); },
                                .afterTick = [&] { calls.push_back("after"); }});
    link->start([&](double) { calls.push_back("tick"); });
    loop.advance(0.1);
    EXPECT_EQ(calls, (std::vector<std::string>{"after"}));
    EXPECT_FALSE(link->isRunning());
}

TEST(TimerDisplayLink, MayBeDestroyedFromInsideItsTick) {
    VirtualMainLoop loop;
    auto link = std::make_unique<TimerDisplayLink>(loop, 60);
    int ticks = 0;
    link->start([&](double) {
        ++ticks;
        link.reset();
    });
    loop.advance(0.1);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(loop.pendingCount(), 0u);
}

TEST(TimerDisplayLink, DeltaTimeIsTheTimeSinceThePreviousTickOrTheStart) {
    VirtualMainLoop loop;
    TimerDisplayLink link(loop, 60);
    std::vector<double> deltas;
    link.start([&](double dt) { deltas.push_back(dt); });
    loop.advance(0.0201);
    link.stop();
    loop.advance(1.0);
    ASSERT_EQ(deltas.size(), 5u);
    for (double dt : deltas)
        EXPECT_NEAR(dt, 0.004, 1e-6);

    // The first tick after a restart measures from the restart, not from the last tick.
    deltas.clear();
    link.start([&](double dt) { deltas.push_back(dt); });
    loop.advance(0.0041);
    ASSERT_EQ(deltas.size(), 1u);
    EXPECT_NEAR(deltas[0], 0.004, 1e-6);
}

TEST(TimerDisplayLink, RestartingFromInsideATickKeepsOneCadence) {
    VirtualMainLoop loop;
    TimerDisplayLink link(loop, 60);
    int oldTicks = 0;
    int newTicks = 0;
    link.start([&](double) {
        ++oldTicks;
        link.start([&](double) { ++newTicks; });
    });
    loop.advance(0.0201);
    EXPECT_EQ(oldTicks, 1);
    EXPECT_EQ(newTicks, 4);
}

}  // namespace
}  // namespace joywright

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "support/VirtualMainLoop.hpp"

namespace joywright {
namespace {

TEST(VirtualMainLoop, AdvanceRunsDueTasksInTimeOrderAtTheirDueTime) {
    VirtualMainLoop loop;
    const auto start = loop.now();
    std::vector<std::string> ran;
    auto late = loop.schedule(seconds(0.3), [&] { ran.push_back("late"); });
    auto early = loop.schedule(seconds(0.1), [&] {
        ran.push_back("early");
        EXPECT_EQ(loop.now() - start, seconds(0.1));
    });
    auto sameTimeAsEarly = loop.schedule(seconds(0.1), [&] { ran.push_back("second at 0.1"); });

    loop.advance(0.2);
    EXPECT_EQ(ran, (std::vector<std::string>{"early", "second at 0.1"}));
    loop.advance(0.1);
    EXPECT_EQ(ran.back(), "late");
    EXPECT_EQ(loop.now() - start, seconds(0.3));
}

TEST(VirtualMainLoop, DestroyedOrCancelledHandleNeverRuns) {
    VirtualMainLoop loop;
    int runs = 0;
    { auto dropped = loop.schedule(seconds(0.1), [&] { ++runs; }); }
    auto cancelled = loop.schedule(seconds(0.1), [&] { ++runs; });
    cancelled.cancel();
    auto replaced = loop.schedule(seconds(0.1), [&] { ++runs; });
    replaced = loop.schedule(seconds(0.2), [&] { runs += 10; });
    loop.advance(1.0);
    EXPECT_EQ(runs, 10);
    EXPECT_EQ(loop.pendingCount(), 0u);
}

TEST(VirtualMainLoop, TasksScheduledByTasksRunWithinTheSameAdvance) {
    VirtualMainLoop loop;
    int ticks = 0;
    TaskHandle handle;
    std::function<void()> tick = [&] {
        ++ticks;
        handle = loop.schedule(seconds(1.0 / 60), tick);
    };
    handle = loop.schedule(seconds(1.0 / 60), tick);
    loop.advance(1.0);
    EXPECT_EQ(ticks, 60);
}

TEST(VirtualMainLoopConcurrency, PostFromOtherThreadsRunsOnTheMainThread) {
    VirtualMainLoop loop;
    int ran = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 100; ++i)
                loop.post([&] {
                    EXPECT_TRUE(loop.isMainThread());
                    ++ran;
                });
        });
    for (auto& t : threads) t.join();
    loop.runPosted();
    EXPECT_EQ(ran, 400);
}

}  // namespace
}  // namespace joywright

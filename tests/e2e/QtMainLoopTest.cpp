#include "platform/qt/QtMainLoop.hpp"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "E2eFixtures.hpp"

namespace joywright::e2e {
namespace {

using namespace std::chrono_literals;

TEST(QtMainLoop, RunsPostedTasksInOrderOnTheMainThread) {
    QtMainLoop loop;
    std::vector<int> order;
    for (int i = 0; i < 5; ++i)
        loop.post([&, i] { order.push_back(i); });
    EXPECT_TRUE(order.empty());
    ASSERT_TRUE(runUntil([&] { return order.size() == 5; }));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(QtMainLoopConcurrency, TasksPostedFromOtherThreadsRunOnTheMainThreadInOrder) {
    QtMainLoop loop;
    EXPECT_TRUE(loop.isMainThread());
    std::vector<int> order;
    std::atomic<int> offMainThread{0};
    std::thread worker([&] {
        if (!loop.isMainThread()) ++offMainThread;
        for (int i = 0; i < 100; ++i) {
            loop.post([&, i] {
                if (!loop.isMainThread()) ++offMainThread;
                order.push_back(i);
            });
        }
    });
    worker.join();
    ASSERT_TRUE(runUntil([&] { return order.size() == 100; }));
    EXPECT_EQ(offMainThread.load(), 1);  // only the worker's own check
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
}

TEST(QtMainLoop, ScheduledTasksNeverRunEarly) {
    QtMainLoop loop;
    const auto start = loop.now();
    MainLoop::TimePoint ranAt{};
    auto handle = loop.schedule(seconds(0.0305), [&] { ranAt = loop.now(); });
    ASSERT_TRUE(runUntil([&] { return ranAt != MainLoop::TimePoint{}; }));
    EXPECT_GE(ranAt - start, seconds(0.0305));
    EXPECT_LT(ranAt - start, seconds(0.5));
}

TEST(QtMainLoop, TasksDueTogetherRunInTheOrderScheduled) {
    QtMainLoop loop;
    std::vector<std::string> order;
    auto a = loop.schedule(10ms, [&] { order.push_back("a"); });
    auto b = loop.schedule(10ms, [&] { order.push_back("b"); });
    auto c = loop.schedule(0ms, [&] { order.push_back("c"); });
    ASSERT_TRUE(runUntil([&] { return order.size() == 3; }));
    EXPECT_EQ(order, (std::vector<std::string>{"c", "a", "b"}));
}

TEST(QtMainLoop, ACancelledOrDroppedHandleStopsItsTask) {
    QtMainLoop loop;
    int cancelledRan = 0;
    int droppedRan = 0;
    bool markerRan = false;
    auto cancelled = loop.schedule(5ms, [&] { ++cancelledRan; });
    cancelled.cancel();
    {
        auto dropped = loop.schedule(5ms, [&] { ++droppedRan; });
    }
    auto marker = loop.schedule(20ms, [&] { markerRan = true; });
    ASSERT_TRUE(runUntil([&] { return markerRan; }));
    EXPECT_EQ(cancelledRan, 0);
    EXPECT_EQ(droppedRan, 0);
}

TEST(QtMainLoop, DestroyingTheLoopDropsWhatHasNotRun) {
    int ran = 0;
    {
        QtMainLoop loop;
        loop.post([&] { ++ran; });
    }
    runUntil([] { return false; }, 20ms);
    EXPECT_EQ(ran, 0);
}

}  // namespace
}  // namespace joywright::e2e

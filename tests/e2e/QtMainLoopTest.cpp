#include "platform/qt/QtMainLoop.hpp"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "E2eFixtures.hpp"

namespace joywright::e2e {
namespace {

using namespace std::chrono_literals;

// Posts from this thread never run inside post(); posts from a worker follow them in order.
TEST(QtMainLoopConcurrency, PostedTasksRunOnTheMainThreadInOrder) {
    QtMainLoop loop;
    EXPECT_TRUE(loop.isMainThread());
    std::vector<int> order;
    std::atomic<int> offMainThread{0};
    const auto post = [&](int i) {
        loop.post([&, i] {
            if (!loop.isMainThread()) ++offMainThread;
            order.push_back(i);
        });
    };
    for (int i = 0; i < 5; ++i)
        post(i);
    EXPECT_TRUE(order.empty());
    std::thread worker([&] {
        if (!loop.isMainThread()) ++offMainThread;
        for (int i = 5; i < 100; ++i)
            post(i);
    });
    worker.join();
    ASSERT_TRUE(runUntil([&] { return order.size() == 100; }));
    EXPECT_EQ(offMainThread.load(), 1);  // only the worker's own check
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
}

TEST(QtMainLoop, ScheduledTasksRunInTheOrderDueAndNeverEarly) {
    QtMainLoop loop;
    const auto start = loop.now();
    std::vector<std::string> order;
    MainLoop::TimePoint lateRanAt{};
    auto late = loop.schedule(seconds(0.0305), [&] {
        order.push_back("late");
        lateRanAt = loop.now();
    });
    auto a = loop.schedule(10ms, [&] { order.push_back("a"); });
    auto b = loop.schedule(10ms, [&] { order.push_back("b"); });
    auto c = loop.schedule(0ms, [&] { order.push_back("c"); });
    ASSERT_TRUE(runUntil([&] { return order.size() == 4; }));
    EXPECT_EQ(order, (std::vector<std::string>{"c", "a", "b", "late"}));
    EXPECT_GE(lateRanAt - start, seconds(0.0305));
    EXPECT_LT(lateRanAt - start, seconds(0.5));
}

TEST(QtMainLoop, ATaskWhoseHandleOrLoopIsGoneNeverRuns) {
    int ran = 0;
    {
        QtMainLoop destroyed;
        destroyed.post([&] { ++ran; });
    }
    QtMainLoop loop;
    auto cancelled = loop.schedule(5ms, [&] { ++ran; });
    cancelled.cancel();
    {
        auto dropped = loop.schedule(5ms, [&] { ++ran; });
    }
    bool markerRan = false;
    auto marker = loop.schedule(20ms, [&] { markerRan = true; });
    ASSERT_TRUE(runUntil([&] { return markerRan; }));
    EXPECT_EQ(ran, 0);
}

}  // namespace
}  // namespace joywright::e2e

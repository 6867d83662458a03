#include <gtest/gtest.h>

#include <algorithm>

#include "engine/KeyRepeatScheduler.hpp"
#include "engine/ReferenceCounter.hpp"

namespace joywright {
namespace {

using KeyList = std::vector<KeyCode>;

// Delay 0.5 s, interval 0.1 s; a pressed at 0 and pressed again at 0.4, which keeps its timing.
TEST(KeyRepeatScheduler, RepeatsKeepTheCadenceButRestartWhenMoreThanAnIntervalLate) {
    struct Case {
        double now;
        bool due;
        double nextFire;
    };
    constexpr Case timeline[] = {
        {0.49, false, 0.5}, {0.5, true, 0.6},
        {0.5, false, 0.6},  {0.65, true, 0.7},  // slightly late: the cadence holds
        {0.9, true, 1.0},                       // 0.2 s late: one repeat, restarted from now
        {0.99, false, 1.0}, {1.0, true, 1.1},
    };
    KeyRepeatScheduler scheduler(0.5, 0.1);
    scheduler.keyPressed(KeyCode::a, 0);
    scheduler.keyPressed(KeyCode::a, 0.4);
    for (const auto& t : timeline) {
        SCOPED_TRACE(t.now);
        EXPECT_EQ(scheduler.dueKeys(t.now), t.due ? KeyList{KeyCode::a} : KeyList{});
        EXPECT_DOUBLE_EQ(scheduler.state(KeyCode::a)->nextFire, t.nextFire);
        EXPECT_EQ(scheduler.state(KeyCode::a)->pressedAt, 0);
    }
}

TEST(KeyRepeatScheduler, ReleaseForgetsOnlyThatKeyAndRestartAllMakesEveryKeyWaitAgain) {
    KeyRepeatScheduler scheduler(0.5, 0.1);
    scheduler.keyPressed(KeyCode::a, 0);
    scheduler.keyPressed(KeyCode::b, 0);
    scheduler.keyPressed(KeyCode::c, 0.1);
    scheduler.keyReleased(KeyCode::a);
    scheduler.keyReleased(KeyCode::z);  // never scheduled
    EXPECT_EQ(scheduler.size(), 2u);
    auto due = scheduler.dueKeys(0.6);
    std::sort(due.begin(), due.end());
    EXPECT_EQ(due, (KeyList{KeyCode::c, KeyCode::b}));  // sorted by raw value: c 8, b 11
    scheduler.restartAll(2.0);
    for (KeyCode key : {KeyCode::b, KeyCode::c}) {
        EXPECT_EQ(
            scheduler.state(key),
            (KeyRepeatScheduler::KeyState{.pressedAt = 2.0, .nextFire = 2.5, .repeating = false}));
    }
    EXPECT_EQ(scheduler.dueKeys(2.49), KeyList{});
}

TEST(KeyRepeatScheduler, DueKeysReusesTheCallersBuffer) {
    KeyRepeatScheduler scheduler(0.5, 0.1);
    for (KeyCode key : allKeyCodes())
        scheduler.keyPressed(key, 0);
    std::vector<KeyCode> due;
    due.reserve(kKeyCodeCount);
    const auto* storage = due.data();
    scheduler.dueKeys(0.5, due);
    EXPECT_EQ(due.size(), kKeyCodeCount);
    EXPECT_EQ(due.data(), storage);
    scheduler.dueKeys(0.55, due);
    EXPECT_TRUE(due.empty());
}

TEST(ReferenceCounter, CountsEachHolderAndKeepsTheOrderKeysBecameHeld) {
    ReferenceCounter<KeyCode> counter;
    EXPECT_TRUE(counter.increment(KeyCode::w));
    EXPECT_FALSE(counter.increment(KeyCode::w));
    EXPECT_TRUE(counter.increment(KeyCode::play));
    EXPECT_TRUE(counter.increment(KeyCode::a));
    EXPECT_EQ(counter.count(KeyCode::w), 2);
    EXPECT_FALSE(counter.decrement(KeyCode::w));
    EXPECT_TRUE(counter.decrement(KeyCode::w));
    EXPECT_FALSE(counter.contains(KeyCode::w));
    EXPECT_TRUE(std::ranges::equal(counter.activeKeys(), KeyList{KeyCode::play, KeyCode::a}));
    EXPECT_TRUE(counter.decrement(KeyCode::z));  // never counted
    EXPECT_EQ(counter.count(KeyCode::z), 0);
    EXPECT_TRUE(counter.decrement(KeyCode::play));
    EXPECT_TRUE(counter.decrement(KeyCode::a));
    EXPECT_TRUE(counter.empty());
}

// Every key has its own slot, so all of them can be held at once.
TEST(ReferenceCounter, EveryKeyCodeCanBeHeldAtOnce) {
    ReferenceCounter<KeyCode> counter;
    for (KeyCode key : allKeyCodes())
        EXPECT_TRUE(counter.increment(key)) << caseName(key);
    EXPECT_EQ(counter.activeKeys().size(), kKeyCodeCount);
    for (KeyCode key : allKeyCodes())
        EXPECT_TRUE(counter.decrement(key)) << caseName(key);
    EXPECT_TRUE(counter.empty());
}

}  // namespace
}  // namespace joywright

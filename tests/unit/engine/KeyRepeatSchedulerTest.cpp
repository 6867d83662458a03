#include <gtest/gtest.h>

#include <algorithm>

#include "engine/KeyRepeatScheduler.hpp"
#include "engine/ReferenceCounter.hpp"

namespace joywright {
namespace {

using KeyList = std::vector<KeyCode>;

TEST(KeyRepeatScheduler, FirstRepeatAfterTheDelayThenEveryInterval) {
    KeyRepeatScheduler scheduler(0.5, 0.1);
    scheduler.keyPressed(KeyCode::a, 1.0);
    EXPECT_EQ(scheduler.dueKeys(1.49), KeyList{});
    EXPECT_EQ(scheduler.dueKeys(1.5), KeyList{KeyCode::a});
    EXPECT_EQ(scheduler.dueKeys(1.5), KeyList{});
    EXPECT_TRUE(scheduler.state(KeyCode::a)->repeating);
    EXPECT_DOUBLE_EQ(scheduler.state(KeyCode::a)->nextFire, 1.6);
    // A slightly late tick keeps the cadence: the next repeat is due from the due time.
    EXPECT_EQ(scheduler.dueKeys(1.65), KeyList{KeyCode::a});
    EXPECT_DOUBLE_EQ(scheduler.state(KeyCode::a)->nextFire, 1.7);
}

TEST(KeyRepeatScheduler, ATickMoreThanAnIntervalLatePostsOneRepeatAndRestartsFromIt) {
    KeyRepeatScheduler scheduler(0.5, 0.1);
    scheduler.keyPressed(KeyCode::a, 0);
    EXPECT_EQ(scheduler.dueKeys(0.7), KeyList{KeyCode::a});  // 0.2 s past its due time
    EXPECT_DOUBLE_EQ(scheduler.state(KeyCode::a)->nextFire, 0.8);
    EXPECT_EQ(scheduler.dueKeys(0.79), KeyList{});
    EXPECT_EQ(scheduler.dueKeys(0.8), KeyList{KeyCode::a});
}

TEST(KeyRepeatScheduler, PressingAScheduledKeyAgainKeepsItsTiming) {
    KeyRepeatScheduler scheduler(0.5, 0.1);
    scheduler.keyPressed(KeyCode::a, 0);
    scheduler.keyPressed(KeyCode::a, 0.4);
    EXPECT_EQ(scheduler.state(KeyCode::a)->pressedAt, 0);
    EXPECT_EQ(scheduler.dueKeys(0.5), KeyList{KeyCode::a});
}

TEST(KeyRepeatScheduler, ReleaseForgetsOnlyThatKey) {
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
}

TEST(KeyRepeatScheduler, RestartAllMakesEveryKeyWaitTheDelayAgain) {
    KeyRepeatScheduler scheduler(0.5, 0.1);
    scheduler.keyPressed(KeyCode::a, 0);
    scheduler.keyPressed(KeyCode::b, 0.3);
    scheduler.dueKeys(0.6);
    scheduler.restartAll(2.0);
    for (KeyCode key : {KeyCode::a, KeyCode::b}) {
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
    EXPECT_EQ(scheduler.size(), kKeyCodeCount);
    std::vector<KeyCode> due;
    due.reserve(kKeyCodeCount);
    const auto* storage = due.data();
    scheduler.dueKeys(0.5, due);
    EXPECT_EQ(due.size(), kKeyCodeCount);
    EXPECT_EQ(due.data(), storage);
    scheduler.dueKeys(0.55, due);
    EXPECT_TRUE(due.empty());
}

TEST(ReferenceCounter, CountsEachHolderAndReportsTheFirstAndLast) {
    ReferenceCounter<KeyCode> counter;
    EXPECT_TRUE(counter.increment(KeyCode::w));
    EXPECT_FALSE(counter.increment(KeyCode::w));
    EXPECT_TRUE(counter.increment(KeyCode::play));
    EXPECT_EQ(counter.count(KeyCode::w), 2);
    EXPECT_EQ(counter.activeKeys().size(), 2u);
    EXPECT_FALSE(counter.decrement(KeyCode::w));
    EXPECT_TRUE(counter.contains(KeyCode::w));
    EXPECT_TRUE(counter.decrement(KeyCode::w));
    EXPECT_FALSE(counter.contains(KeyCode::w));
    EXPECT_EQ(counter.activeKeys().size(), 1u);
    EXPECT_TRUE(counter.decrement(KeyCode::a));  // never counted
    EXPECT_EQ(counter.count(KeyCode::a), 0);
    EXPECT_TRUE(counter.decrement(KeyCode::play));
    EXPECT_TRUE(counter.empty());
}

TEST(ReferenceCounter, ActiveKeysKeepTheOrderTheyBecameHeld) {
    ReferenceCounter<ModifierKey> counter;
    counter.increment(ModifierKey::rightCommand);
    counter.increment(ModifierKey::leftShift);
    counter.increment(ModifierKey::leftOption);
    counter.decrement(ModifierKey::leftShift);
    const auto active = counter.activeKeys();
    ASSERT_EQ(active.size(), 2u);
    EXPECT_EQ(active[0], ModifierKey::rightCommand);
    EXPECT_EQ(active[1], ModifierKey::leftOption);
    EXPECT_EQ(activeSet(counter),
              (ModifierSet{ModifierKey::leftOption, ModifierKey::rightCommand}));
}

// Every key has its own slot, so all 133 can be held at once.
TEST(ReferenceCounter, EveryKeyCodeHasItsOwnSlot) {
    ReferenceCounter<KeyCode> counter;
    std::vector<bool> used(CountedKeySlots<KeyCode>::count, false);
    for (KeyCode key : allKeyCodes()) {
        const auto slot = CountedKeySlots<KeyCode>::slot(key);
        ASSERT_LT(slot, used.size()) << caseName(key);
        EXPECT_FALSE(used[slot]) << caseName(key);
        used[slot] = true;
        EXPECT_TRUE(counter.increment(key));
    }
    EXPECT_EQ(counter.activeKeys().size(), kKeyCodeCount);
    for (KeyCode key : allKeyCodes())
        EXPECT_TRUE(counter.decrement(key));
    EXPECT_TRUE(counter.empty());
}

}  // namespace
}  // namespace joywright

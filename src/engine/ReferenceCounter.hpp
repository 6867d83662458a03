#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>

#include "model/KeyCode.hpp"
#include "model/ModifierKey.hpp"

namespace joywright {

// A dense slot for every value a ReferenceCounter may count, so counting needs no allocation.
template <typename T>
struct CountedKeySlots;

template <>
struct CountedKeySlots<KeyCode> {
    // Keyboard keys take their raw value (0...127); system keys 128 + their type (0...23).
    static constexpr std::size_t count = 128 + 24;
    static constexpr std::size_t slot(KeyCode key) {
        const std::size_t raw = rawValue(key);
        return raw < kSystemKeyOffset ? raw : 128 + (raw - kSystemKeyOffset);
    }
};

template <>
struct CountedKeySlots<ModifierKey> {
    static constexpr std::size_t count = 8;
    static constexpr std::size_t slot(ModifierKey modifier) {
        return static_cast<std::size_t>(modifier);
    }
};

// Counts how many inputs hold each key. Every stored count is >= 1; the active keys are exactly
// the counted ones, in the order they became held. Main thread only; never allocates.
template <typename T>
class ReferenceCounter {
public:
    using Slots = CountedKeySlots<T>;

    // Returns true when the key has just become held (its count was 0).
    bool increment(T key) {
        const auto slot = Slots::slot(key);
        if (slot >= Slots::count) return false;
        const bool first = counts_[slot]++ == 0;
        if (first) active_[activeCount_++] = key;
        return first;
    }

    // Returns true when the key is no longer held, also for a key that was never counted.
    bool decrement(T key) {
        const auto slot = Slots::slot(key);
        if (slot >= Slots::count) return true;
        if (counts_[slot] > 1) {
            --counts_[slot];
            return false;
        }
        if (counts_[slot] == 1) removeActive(key);
        counts_[slot] = 0;
        return true;
    }

    int count(T key) const {
        const auto slot = Slots::slot(key);
        return slot < Slots::count ? counts_[slot] : 0;
    }
    bool contains(T key) const { return count(key) > 0; }

    // The held keys, in the order they became held.
    std::span<const T> activeKeys() const { return {active_.data(), activeCount_}; }
    bool empty() const { return activeCount_ == 0; }

    void removeAll() {
        counts_.fill(0);
        activeCount_ = 0;
    }

private:
    void removeActive(T key) {
        auto* last = active_.data() + activeCount_;
        auto* found = std::find(active_.data(), last, key);
        if (found == last) return;
        std::copy(found + 1, last, found);
        --activeCount_;
    }

    std::array<int, Slots::count> counts_{};
    std::array<T, Slots::count> active_{};
    std::size_t activeCount_ = 0;
};

// The active modifiers as a set.
inline ModifierSet activeSet(const ReferenceCounter<ModifierKey>& modifiers) {
    ModifierSet set;
    for (auto m : modifiers.activeKeys())
        set.insert(m);
    return set;
}

}  // namespace joywright

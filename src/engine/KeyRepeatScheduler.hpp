#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

#include "model/KeyCode.hpp"

namespace joywright {

// Auto-repeat timing of held keys, on the engine clock (seconds of Runner::elapsed, not wall
// time). A key pressed at t repeats at the first tick at or after t + initialDelay, then every
// repeatInterval, at most once per tick; a tick more than one interval late restarts the schedule
// from that tick instead of catching up. Main thread only; never allocates.
class KeyRepeatScheduler {
public:
    struct KeyState {
        double pressedAt = 0;    // engine clock when the timing last started
        double nextFire = 0;     // engine clock at which the next repeat is due
        bool repeating = false;  // has repeated at least once since the timing started
        friend bool operator==(const KeyState&, const KeyState&) = default;
    };

    // Seconds: the system key-repeat delay and interval.
    KeyRepeatScheduler(double initialDelay, double repeatInterval)
        : initialDelay_(initialDelay), repeatInterval_(repeatInterval) {}

    double initialDelay() const { return initialDelay_; }
    double repeatInterval() const { return repeatInterval_; }

    // Starts the key's timing at `now`, unless it is already scheduled.
    void keyPressed(KeyCode key, double now);
    // Forgets the key's timing, if any.
    void keyReleased(KeyCode key);
    // Fills `due` (cleared first; reserve kKeyCodeCount to never allocate) with every key whose
    // repeat is due at `now`, each once, and schedules its next repeat.
    void dueKeys(double now, std::vector<KeyCode>& due);
    // The same, into a new list.
    std::vector<KeyCode> dueKeys(double now);
    // Every scheduled key waits the full initial delay again from `now`.
    void restartAll(double now);

    std::optional<KeyState> state(KeyCode key) const;
    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    void removeAll() { count_ = 0; }

private:
    struct Entry {
        KeyCode key = KeyCode::a;
        KeyState state;
    };

    const Entry* find(KeyCode key) const;

    double initialDelay_;
    double repeatInterval_;
    std::array<Entry, kKeyCodeCount> entries_{};
    std::size_t count_ = 0;
};

}  // namespace joywright

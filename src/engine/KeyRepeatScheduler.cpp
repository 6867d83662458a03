#include "engine/KeyRepeatScheduler.hpp"

namespace joywright {

const KeyRepeatScheduler::Entry* KeyRepeatScheduler::find(KeyCode key) const {
    for (std::size_t i = 0; i < count_; ++i)
        if (entries_[i].key == key) return &entries_[i];
    return nullptr;
}

void KeyRepeatScheduler::keyPressed(KeyCode key, double now) {
    if (find(key) != nullptr || count_ == entries_.size()) return;
    entries_[count_++] = {key, {.pressedAt = now, .nextFire = now + initialDelay_}};
}

void KeyRepeatScheduler::keyReleased(KeyCode key) {
    const auto* entry = find(key);
    if (entry == nullptr) return;
    // Order among scheduled keys carries no meaning: move the last entry into the hole.
    const auto index = static_cast<std::size_t>(entry - entries_.data());
    entries_[index] = entries_[--count_];
}

void KeyRepeatScheduler::dueKeys(double now, std::vector<KeyCode>& due) {
    due.clear();
    for (std::size_t i = 0; i < count_; ++i) {
        auto& state = entries_[i].state;
        if (state.nextFire > now) continue;
        due.push_back(entries_[i].key);
        // More than one interval late: restart from now rather than catching up.
        const double base = now - state.nextFire > repeatInterval_ ? now : state.nextFire;
        state.nextFire = base + repeatInterval_;
        state.repeating = true;
    }
}

std::vector<KeyCode> KeyRepeatScheduler::dueKeys(double now) {
    std::vector<KeyCode> due;
    dueKeys(now, due);
    return due;
}

void KeyRepeatScheduler::restartAll(double now) {
    for (std::size_t i = 0; i < count_; ++i)
        entries_[i].state = {.pressedAt = now, .nextFire = now + initialDelay_, .repeating = false};
}

std::optional<KeyRepeatScheduler::KeyState> KeyRepeatScheduler::state(KeyCode key) const {
    const auto* entry = find(key);
    if (entry == nullptr) return std::nullopt;
    return entry->state;
}

}  // namespace joywright

#pragma once

#include <mutex>
#include <vector>

#include "engine/FrameInput.hpp"

namespace joywright {

// The locked queue between the controller handlers (any thread) and the engine's tick (main
// thread). While not listening, appended instructions are dropped. The lock is held only for the
// queue operation itself.
class Frame {
public:
    static constexpr std::size_t kReservedCapacity = 16;

    Frame() { inputs_.reserve(kReservedCapacity); }
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

    // Any thread.
    void append(const FrameInput& input) {
        std::lock_guard lock(mutex_);
        if (listening_) inputs_.push_back(input);
    }

    // Moves the queued instructions, in arrival order, into `into` (whose previous contents are
    // discarded) and keeps both vectors' storage, so a steady state allocates nothing.
    void drain(std::vector<FrameInput>& into) {
        into.clear();
        std::lock_guard lock(mutex_);
        inputs_.swap(into);
    }

    void clear() {
        std::lock_guard lock(mutex_);
        inputs_.clear();
    }

    // Written by the Runner only: true at the end of a start, false at the beginning of a stop.
    void setListening(bool listening) {
        std::lock_guard lock(mutex_);
        listening_ = listening;
    }
    bool isListening() const {
        std::lock_guard lock(mutex_);
        return listening_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<FrameInput> inputs_;
    bool listening_ = false;
};

}  // namespace joywright

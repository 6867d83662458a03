#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace joywright {

// A list of callbacks for one kind of event. notify() calls every callback registered at that
// moment, in registration order; a callback may subscribe, unsubscribe (itself or others) or
// notify again while it runs. Main thread only.
template <class Event>
class Observers {
public:
    using Callback = std::function<void(const Event&)>;

    class Subscription;

    Observers() : state_(std::make_shared<State>()) {}
    Observers(const Observers&) = delete;
    Observers& operator=(const Observers&) = delete;

    // The callback runs until the returned subscription is destroyed or reset.
    [[nodiscard]] Subscription subscribe(Callback callback) {
        const std::uint64_t id = ++state_->lastId;
        state_->entries.push_back({id, std::make_shared<Callback>(std::move(callback))});
        return Subscription(state_, id);
    }

    void notify(const Event& event) const {
        // A copy, so that callbacks may change the list; entries removed meanwhile are skipped.
        const auto entries = state_->entries;
        for (const auto& entry : entries) {
            if (state_->contains(entry.id)) (*entry.callback)(event);
        }
    }

    std::size_t count() const { return state_->entries.size(); }

private:
    struct Entry {
        std::uint64_t id;
        std::shared_ptr<Callback> callback;
    };
    struct State {
        std::vector<Entry> entries;
        std::uint64_t lastId = 0;

        bool contains(std::uint64_t id) const {
            for (const auto& e : entries)
                if (e.id == id) return true;
            return false;
        }
        void remove(std::uint64_t id) {
            std::erase_if(entries, [id](const Entry& e) { return e.id == id; });
        }
    };

    std::shared_ptr<State> state_;

public:
    // Keeps one callback registered; destroying or resetting it unregisters the callback. May
    // outlive the Observers it came from. Move-only.
    class Subscription {
    public:
        Subscription() = default;
        ~Subscription() { reset(); }
        Subscription(Subscription&& other) noexcept
            : state_(std::move(other.state_)), id_(other.id_) {}
        Subscription& operator=(Subscription&& other) noexcept {
            if (this != &other) {
                reset();
                state_ = std::move(other.state_);
                id_ = other.id_;
            }
            return *this;
        }
        Subscription(const Subscription&) = delete;
        Subscription& operator=(const Subscription&) = delete;

        void reset() {
            if (auto state = state_.lock()) state->remove(id_);
            state_.reset();
        }
        explicit operator bool() const { return !state_.expired(); }

    private:
        friend class Observers;
        Subscription(const std::shared_ptr<State>& state, std::uint64_t id)
            : state_(state), id_(id) {}

        std::weak_ptr<State> state_;
        std::uint64_t id_ = 0;
    };
};

}  // namespace joywright

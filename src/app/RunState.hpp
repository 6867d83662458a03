#pragma once

#include <variant>

#include "model/Mapping.hpp"

namespace joywright {

// Whether a mapping runs. `running` carries a copy of the mapping the controller handlers were
// installed from.
struct RunState {
    struct Idle {
        friend bool operator==(const Idle&, const Idle&) = default;
    };
    struct Running {
        Mapping mapping;
        friend bool operator==(const Running&, const Running&) = default;
    };

    std::variant<Idle, Running> value{Idle{}};

    static RunState idle() { return {Idle{}}; }
    static RunState running(Mapping mapping) { return {Running{std::move(mapping)}}; }

    bool isRunning() const { return std::holds_alternative<Running>(value); }
    // The running mapping, or null while idle.
    const Mapping* runningMapping() const {
        const auto* running = std::get_if<Running>(&value);
        return running ? &running->mapping : nullptr;
    }

    friend bool operator==(const RunState&, const RunState&) = default;
};

}  // namespace joywright

#pragma once

#include <string>
#include <variant>

namespace joywright {

// What the sync coordinator last reported about writing mappings.
struct SaveStatus {
    struct Error {
        // "Failed to persist 2 change(s): save <id>: <description>; save <id>: <description>"
        std::string text;
        friend bool operator==(const Error&, const Error&) = default;
    };
    struct Idle {
        friend bool operator==(const Idle&, const Idle&) = default;
    };
    struct Saving {
        friend bool operator==(const Saving&, const Saving&) = default;
    };

    using Value = std::variant<Error, Idle, Saving>;

    Value value{Idle{}};

    static SaveStatus error(std::string text) { return {Error{std::move(text)}}; }
    static SaveStatus idle() { return {Idle{}}; }
    static SaveStatus saving() { return {Saving{}}; }

    template <class T>
    const T* as() const {
        return std::get_if<T>(&value);
    }
    template <class T>
    bool is() const {
        return std::holds_alternative<T>(value);
    }

    // "idle", "saving" or "error(<text>)"; for logs and test output.
    std::string description() const;

    friend bool operator==(const SaveStatus&, const SaveStatus&) = default;
};

}  // namespace joywright

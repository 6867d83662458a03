#pragma once

#include <cassert>
#include <utility>
#include <variant>

namespace joywright {

template <class E>
struct Unexpected {
    E error;
};

template <class E>
Unexpected<std::decay_t<E>> unexpected(E&& error) {
    return {std::forward<E>(error)};
}

// A value or the error that kept it from being made (a small stand-in for std::expected).
template <class T, class E>
class Expected {
public:
    Expected(T value) : storage_(std::in_place_index<0>, std::move(value)) {}
    Expected(Unexpected<E> error) : storage_(std::in_place_index<1>, std::move(error.error)) {}

    bool hasValue() const { return storage_.index() == 0; }
    explicit operator bool() const { return hasValue(); }

    T& value() & {
        assert(hasValue());
        return std::get<0>(storage_);
    }
    const T& value() const& {
        assert(hasValue());
        return std::get<0>(storage_);
    }
    T&& value() && {
        assert(hasValue());
        return std::get<0>(std::move(storage_));
    }
    const E& error() const {
        assert(!hasValue());
        return std::get<1>(storage_);
    }

    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

private:
    std::variant<T, E> storage_;
};

}  // namespace joywright

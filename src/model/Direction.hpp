#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>

namespace joywright {

enum class Direction : std::uint8_t { left, right, up, down };

inline constexpr std::array<Direction, 4> kAllDirections{Direction::left, Direction::right,
                                                         Direction::up, Direction::down};

// "left", "right", "up", "down": the case name, used by summaries and documents.
std::string_view caseName(Direction direction);
std::optional<Direction> directionFromCaseName(std::string_view name);

// The direction's bit in a DirectionSet: up 1, down 2, left 4, right 8.
constexpr std::uint8_t bit(Direction direction) {
    switch (direction) {
        case Direction::up: return 1;
        case Direction::down: return 2;
        case Direction::left: return 4;
        case Direction::right: return 8;
    }
    return 0;
}

// A set of directions in one byte (the upper four bits are always zero). Iteration and
// `directions()` always go up, down, left, right.
class DirectionSet {
public:
    // The directions of a set, in the order up, down, left, right; no allocation.
    class List {
    public:
        const Direction* begin() const { return items_.data(); }
        const Direction* end() const { return items_.data() + count_; }
        std::size_t size() const { return count_; }
        bool empty() const { return count_ == 0; }
        Direction operator[](std::size_t i) const { return items_[i]; }

    private:
        friend class DirectionSet;
        std::array<Direction, 4> items_{};
        std::size_t count_ = 0;
    };

    constexpr DirectionSet() = default;
    constexpr explicit DirectionSet(std::uint8_t rawValue) : raw_(rawValue & 0x0F) {}
    constexpr DirectionSet(std::initializer_list<Direction> directions) {
        for (auto d : directions) insert(d);
    }

    constexpr std::uint8_t rawValue() const { return raw_; }
    constexpr bool empty() const { return raw_ == 0; }
    constexpr bool contains(Direction d) const { return (raw_ & bit(d)) != 0; }
    constexpr void insert(Direction d) { raw_ = static_cast<std::uint8_t>(raw_ | bit(d)); }
    constexpr void remove(Direction d) { raw_ = static_cast<std::uint8_t>(raw_ & ~bit(d)); }

    constexpr DirectionSet unionWith(DirectionSet o) const {
        return DirectionSet(static_cast<std::uint8_t>(raw_ | o.raw_));
    }
    constexpr DirectionSet intersection(DirectionSet o) const {
        return DirectionSet(static_cast<std::uint8_t>(raw_ & o.raw_));
    }
    constexpr DirectionSet subtracting(DirectionSet o) const {
        return DirectionSet(static_cast<std::uint8_t>(raw_ & ~o.raw_));
    }

    List directions() const {
        List list;
        for (auto d : {Direction::up, Direction::down, Direction::left, Direction::right})
            if (contains(d)) list.items_[list.count_++] = d;
        return list;
    }

    friend constexpr bool operator==(DirectionSet, DirectionSet) = default;

private:
    std::uint8_t raw_ = 0;
};

enum class ThumbstickMode : std::uint8_t { smooth, eightWay };

// "smooth" or "eightWay".
std::string_view rawValue(ThumbstickMode mode);
// Exact match with a raw value, otherwise none.
std::optional<ThumbstickMode> thumbstickModeFromRawValue(std::string_view raw);
// The editor's labels, "Smooth" and "8-Way".
std::string_view label(ThumbstickMode mode);

}  // namespace joywright

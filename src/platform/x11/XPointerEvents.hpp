#pragma once

#include <cstdint>
#include <optional>

#include "model/MouseButton.hpp"

namespace joywright {

// The X button a mouse button presses: left 1, right 3, center 2, and other(n) n + 5 for n >= 3
// (so 3 and 4, the side buttons, are X's back and forward 8 and 9). X button numbers stop at 255.
constexpr std::optional<unsigned> xButtonNumber(MouseButton button) {
    switch (button.kind()) {
        case MouseButton::Kind::left:
            return 1u;
        case MouseButton::Kind::right:
            return 3u;
        case MouseButton::Kind::center:
            return 2u;
        case MouseButton::Kind::other:
            break;
    }
    const std::uint32_t n = button.buttonNumber();
    switch (n) {
        case 0:
            return 1u;
        case 1:
            return 3u;
        case 2:
            return 2u;
        default:
            break;
    }
    if (n > 255 - 5) return std::nullopt;
    return n + 5;
}

// X's wheel buttons: one click of 4 scrolls up, 5 down, 6 left, 7 right.
inline constexpr unsigned kWheelUp = 4;
inline constexpr unsigned kWheelDown = 5;
inline constexpr unsigned kWheelLeft = 6;
inline constexpr unsigned kWheelRight = 7;
// More clicks than this in one request are dropped, so a runaway value cannot flood the server.
inline constexpr int kMaxWheelClicksPerPost = 100;

// Pixel scrolling as wheel clicks: every 50 px in one direction make one click; the remainder
// (with its sign) waits for the next pixels.
class WheelClickAccumulator {
public:
    static constexpr std::int64_t kPixelsPerClick = 50;

    // Adds `pixels` and returns the whole clicks they complete (signed like the pixels).
    int add(std::int32_t pixels) {
        pending_ += pixels;
        const std::int64_t clicks = pending_ / kPixelsPerClick;  // truncates towards zero
        pending_ -= clicks * kPixelsPerClick;
        return static_cast<int>(clicks);
    }
    std::int64_t pending() const { return pending_; }

private:
    std::int64_t pending_ = 0;
};

}  // namespace joywright

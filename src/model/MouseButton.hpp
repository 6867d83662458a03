#pragma once

#include <cstdint>
#include <string>

namespace joywright {

// A mouse button. left, right and center are equal only to themselves; other(n) equals other(m)
// when n == m and never equals a named button, even for n = 0, 1 or 2.
class MouseButton {
public:
    enum class Kind : std::uint8_t { left, right, center, other };

    static constexpr MouseButton left() { return MouseButton(Kind::left, 0); }
    static constexpr MouseButton right() { return MouseButton(Kind::right, 0); }
    static constexpr MouseButton center() { return MouseButton(Kind::center, 0); }
    static constexpr MouseButton other(std::uint32_t number) {
        return MouseButton(Kind::other, number);
    }

    constexpr Kind kind() const { return kind_; }
    // The engine's button number: left 0, right 1, center 2, other(n) n.
    constexpr std::uint32_t buttonNumber() const {
        switch (kind_) {
            case Kind::left: return 0;
            case Kind::right: return 1;
            case Kind::center: return 2;
            case Kind::other: return other_;
        }
        return 0;
    }
    // "left", "right", "center", "other(4)".
    std::string description() const;

    friend constexpr bool operator==(const MouseButton&, const MouseButton&) = default;

private:
    constexpr MouseButton(Kind kind, std::uint32_t other) : kind_(kind), other_(other) {}
    Kind kind_;
    std::uint32_t other_;
};

}  // namespace joywright

#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "model/Direction.hpp"
#include "model/KeyCombo.hpp"
#include "model/MouseButton.hpp"

namespace joywright {

class KeyboardLayout;

enum class ScrollMouseMode : std::uint8_t { continuous, notched };

// "continuous" or "notched".
std::string_view rawValue(ScrollMouseMode mode);
std::optional<ScrollMouseMode> scrollMouseModeFromRawValue(std::string_view raw);
// The editor's labels, "Continuously" and "Notched".
std::string_view label(ScrollMouseMode mode);

// Speed of a newly chosen move or scroll output, pixels (points) per second.
inline constexpr float kDefaultSpeed = 800.0f;

// What one controller input produces while a mapping runs. Speeds are 32-bit floats in pixels
// per second (pointer motion: points per second at full deflection).
struct Output {
    struct Noop {
        friend bool operator==(const Noop&, const Noop&) = default;
    };
    struct PressKey {
        KeyCombo combo;
        friend bool operator==(const PressKey&, const PressKey&) = default;
    };
    struct ClickMouse {
        MouseButton button;
        friend bool operator==(const ClickMouse&, const ClickMouse&) = default;
    };
    struct MoveMouse {
        Direction direction;
        float speed;
        friend bool operator==(const MoveMouse&, const MoveMouse&) = default;
    };
    struct ScrollMouse {
        Direction direction;
        float speed;
        ScrollMouseMode mode;
        friend bool operator==(const ScrollMouse&, const ScrollMouse&) = default;
    };

    // Declaration order numbers the cases and is the document reader's lookup order.
    using Value = std::variant<Noop, PressKey, ClickMouse, MoveMouse, ScrollMouse>;

    // The kinds the editor offers, in display order (move before click).
    enum class Tag : std::uint8_t { noop, pressKey, moveMouse, clickMouse, scrollMouse };

    Value value;

    static Output noop() { return {Noop{}}; }
    static Output pressKey(KeyCombo combo) { return {PressKey{combo}}; }
    static Output clickMouse(MouseButton button) { return {ClickMouse{button}}; }
    static Output moveMouse(Direction direction, float speed) {
        return {MoveMouse{direction, speed}};
    }
    static Output scrollMouse(Direction direction, float speed, ScrollMouseMode mode) {
        return {ScrollMouse{direction, speed, mode}};
    }

    template <class T>
    const T* as() const {
        return std::get_if<T>(&value);
    }
    template <class T>
    bool is() const {
        return std::holds_alternative<T>(value);
    }

    Tag tag() const;
    // The output an input gets when the user switches it to `tag`: noop; pressKey with an empty
    // combo; moveMouse left 800; clickMouse left; scrollMouse left 800 continuous.
    static Output defaultOutput(Tag tag);

    friend bool operator==(const Output&, const Output&) = default;
};

inline constexpr std::array<Output::Tag, 5> kAllOutputTags{
    Output::Tag::noop, Output::Tag::pressKey, Output::Tag::moveMouse, Output::Tag::clickMouse,
    Output::Tag::scrollMouse};

// "Do nothing", "Press key", "Move mouse", "Click mouse", "Scroll mouse".
std::string_view label(Output::Tag tag);

// One line: "Do nothing", "Press key: Ctrl+Shift+G", "Click mouse: left click",
// "Move mouse up 800px/s", "Scroll mouse down (notched)", "Scroll mouse down 1235px/s".
std::string summaryText(const Output& output, const KeyboardLayout* layout);

// Which outputs a whole-mapping speed change touches: every moveMouse output, or every
// continuous scrollMouse output.
enum class MouseSpeedCategory : std::uint8_t { moveMouse, scrollMouse };

}  // namespace joywright

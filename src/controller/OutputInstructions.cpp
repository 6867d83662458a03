#include "controller/OutputInstructions.hpp"

namespace joywright {

namespace {

using namespace frame_input;

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

bool isHorizontal(Direction direction) {
    return direction == Direction::left || direction == Direction::right;
}

// -1 for the directions whose instruction values are negative (left and up), else +1.
float sign(Direction direction) {
    return direction == Direction::left || direction == Direction::up ? -1.0f : 1.0f;
}

float limited(float strength) {
    if (!(strength > 0.0f)) return 0.0f;  // also catches NaN
    return strength > 1.0f ? 1.0f : strength;
}

}  // namespace

std::optional<FrameInput> pressInstruction(const Output& output, float strength,
                                           StrengthLimit limit) {
    const float v = limit == StrengthLimit::clamped ? limited(strength) : strength;
    return std::visit(
        Overloaded{
            [](const Output::Noop&) -> std::optional<FrameInput> { return std::nullopt; },
            [](const Output::PressKey& o) -> std::optional<FrameInput> { return KeyDown{o.combo}; },
            [](const Output::ClickMouse& o) -> std::optional<FrameInput> {
                return MouseDown{o.button};
            },
            [v](const Output::MoveMouse& o) -> std::optional<FrameInput> {
                const float magnitude = sign(o.direction) * v;
                if (isHorizontal(o.direction)) return SetMouseDX{magnitude, o.speed};
                return SetMouseDY{magnitude, o.speed};
            },
            [v](const Output::ScrollMouse& o) -> std::optional<FrameInput> {
                if (o.mode == ScrollMouseMode::notched) {
                    switch (o.direction) {
                        case Direction::left:
                            return ScrollNotch{0, 1};
                        case Direction::right:
                            return ScrollNotch{0, -1};
                        case Direction::up:
                            return ScrollNotch{1, 0};
                        case Direction::down:
                            return ScrollNotch{-1, 0};
                    }
                }
                const float velocity = sign(o.direction) * (v * o.speed);
                if (isHorizontal(o.direction)) return SetScrollDX{velocity};
                return SetScrollDY{velocity};
            },
        },
        output.value);
}

std::optional<FrameInput> releaseInstruction(const Output& output) {
    return std::visit(
        Overloaded{
            [](const Output::Noop&) -> std::optional<FrameInput> { return std::nullopt; },
            [](const Output::PressKey& o) -> std::optional<FrameInput> { return KeyUp{o.combo}; },
            [](const Output::ClickMouse& o) -> std::optional<FrameInput> {
                return MouseUp{o.button};
            },
            [](const Output::MoveMouse& o) -> std::optional<FrameInput> {
                if (isHorizontal(o.direction)) return ResetMouseDX{};
                return ResetMouseDY{};
            },
            [](const Output::ScrollMouse& o) -> std::optional<FrameInput> {
                if (o.mode == ScrollMouseMode::notched) return std::nullopt;
                if (isHorizontal(o.direction)) return ResetScrollDX{};
                return ResetScrollDY{};
            },
        },
        output.value);
}

bool followsStrength(const Output& output) {
    if (output.is<Output::MoveMouse>()) return true;
    const auto* scroll = output.as<Output::ScrollMouse>();
    return scroll != nullptr && scroll->mode == ScrollMouseMode::continuous;
}

}  // namespace joywright

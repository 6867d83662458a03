#include "model/Output.hpp"

#include <cstdio>

namespace joywright {

namespace {

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

std::string speedText(float speed) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.0f", static_cast<double>(speed));
    return buffer;
}

}  // namespace

std::string_view rawValue(ScrollMouseMode mode) {
    return mode == ScrollMouseMode::continuous ? "continuous" : "notched";
}

std::optional<ScrollMouseMode> scrollMouseModeFromRawValue(std::string_view raw) {
    if (raw == "continuous") return ScrollMouseMode::continuous;
    if (raw == "notched") return ScrollMouseMode::notched;
    return std::nullopt;
}

std::string_view label(ScrollMouseMode mode) {
    return mode == ScrollMouseMode::continuous ? "Continuously" : "Notched";
}

Output::Tag Output::tag() const {
    return std::visit(Overloaded{
                          [](const Noop&) { return Tag::noop; },
                          [](const PressKey&) { return Tag::pressKey; },
                          [](const ClickMouse&) { return Tag::clickMouse; },
                          [](const MoveMouse&) { return Tag::moveMouse; },
                          [](const ScrollMouse&) { return Tag::scrollMouse; },
                      },
                      value);
}

Output Output::defaultOutput(Tag tag) {
    switch (tag) {
        case Tag::noop:
            return noop();
        case Tag::pressKey:
            return pressKey(KeyCombo{});
        case Tag::moveMouse:
            return moveMouse(Direction::left, kDefaultSpeed);
        case Tag::clickMouse:
            return clickMouse(MouseButton::left());
        case Tag::scrollMouse:
            return scrollMouse(Direction::left, kDefaultSpeed, ScrollMouseMode::continuous);
    }
    return noop();
}

std::string_view label(Output::Tag tag) {
    switch (tag) {
        case Output::Tag::noop:
            return "Do nothing";
        case Output::Tag::pressKey:
            return "Press key";
        case Output::Tag::moveMouse:
            return "Move mouse";
        case Output::Tag::clickMouse:
            return "Click mouse";
        case Output::Tag::scrollMouse:
            return "Scroll mouse";
    }
    return {};
}

std::string summaryText(const Output& output, const KeyboardLayout* layout) {
    return std::visit(Overloaded{
                          [](const Output::Noop&) -> std::string { return "Do nothing"; },
                          [layout](const Output::PressKey& o) -> std::string {
                              if (!o.combo.key && o.combo.modifiers.empty()) return "Do nothing";
                              return "Press key: " + summaryText(o.combo, layout);
                          },
                          [](const Output::ClickMouse& o) -> std::string {
                              return "Click mouse: " + o.button.description() + " click";
                          },
                          [](const Output::MoveMouse& o) -> std::string {
                              return "Move mouse " + std::string(caseName(o.direction)) + " " +
                                     speedText(o.speed) + "px/s";
                          },
                          [](const Output::ScrollMouse& o) -> std::string {
                              if (o.mode == ScrollMouseMode::notched)
                                  return "Scroll mouse " + std::string(caseName(o.direction)) +
                                         " (notched)";
                              return "Scroll mouse " + std::string(caseName(o.direction)) + " " +
                                     speedText(o.speed) + "px/s";
                          },
                      },
                      output.value);
}

}  // namespace joywright

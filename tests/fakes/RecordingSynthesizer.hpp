#pragma once

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/EventSynthesizer.hpp"
#include "engine/KeyEvents.hpp"
#include "fakes/FakeDisplay.hpp"

namespace joywright {

// Records every request as a readable token, expanding key requests with postKeyEvents /
// postKeyRepeatEvents so the flags are the ones a real synthesizer posts, and tracks what the
// posted events leave held.
//
// Tokens ("+" down, "-" up, "*" auto-repeat; flags in upper-case hex, data1 in lower-case hex):
//   +leftShift(0x20002)   modifier step (named by the modifier; its own key code otherwise)
//   +a(0x12010A)          key step, complete flag word (here leftShift | leftCommand |
//   NonCoalesced) *a(0x20102)           auto-repeat key-down +play(0x100a00)       system key,
//   data1 +mouse0@(10,20)x2     button number 0 down at (10, 20) with click state 2;
//   -mouse0@(10,20)x0 up move@(11,20)          absolute move; drag0@(11,20) drags button 0
//   rel(1,-2)             relative move
//   scroll(-1,0)          pixel scroll, wheel1 (vertical) then wheel2 (horizontal)
//   notch(1,0)            line scroll
class RecordingSynthesizer final : public EventSynthesizer {
public:
    // When set, absolute moves set this display's cursor and relative moves shift it, as a real
    // system would.
    FakeDisplay* display = nullptr;

    std::vector<std::string> tokens;
    // Every key event posted, in order.
    std::vector<KeyEvent> keyEvents;

    // State according to the posted events.
    std::set<std::uint16_t> heldKeyCodes;  // keyboard keys, modifier keys included
    std::set<int> heldSystemKeyTypes;
    std::set<std::uint32_t> heldButtons;  // button numbers
    int modifierDownsWhileHeld = 0;       // a modifier's down posted while it was already down
    int upsWhileNotHeld = 0;  // an up (key, modifier, system key or button) for something not down

    // Motion totals.
    std::optional<Point> lastMove;
    Vector relativeTotal;
    std::int64_t scrollWheel1Total = 0;
    std::int64_t scrollWheel2Total = 0;

    // Tokens joined with single spaces.
    std::string joined() const {
        std::string s;
        for (const auto& t : tokens) {
            if (!s.empty()) s += ' ';
            s += t;
        }
        return s;
    }
    // joined(), then forgets the tokens (not the held state).
    std::string take() {
        auto s = joined();
        tokens.clear();
        keyEvents.clear();
        return s;
    }

    bool nothingHeld() const {
        return heldKeyCodes.empty() && heldSystemKeyTypes.empty() && heldButtons.empty();
    }
    // What is still held, for failure messages: "keys 56 0; system; buttons 1".
    std::string describeHeld() const {
        std::string s = "keys";
        for (auto k : heldKeyCodes)
            s += ' ' + std::to_string(k);
        s += "; system";
        for (auto k : heldSystemKeyTypes)
            s += ' ' + std::to_string(k);
        s += "; buttons";
        for (auto b : heldButtons)
            s += ' ' + std::to_string(b);
        return s;
    }

    void postKey(std::optional<KeyCode> key, ModifierSet released, ModifierSet pressed,
                 ModifierSet current, bool isDown) override {
        for (const auto& event : postKeyEvents(key, released, pressed, current, isDown))
            record(event);
    }

    void postKeyRepeat(KeyCode key, ModifierSet modifiers) override {
        for (const auto& event : postKeyRepeatEvents(key, modifiers))
            record(event);
    }

    void postMouseButton(MouseButton button, bool isDown, int clickCount, Point point) override {
        const auto n = button.buttonNumber();
        if (isDown) {
            heldButtons.insert(n);
        } else if (heldButtons.erase(n) == 0) {
            ++upsWhileNotHeld;
        }
        tokens.push_back((isDown ? "+mouse" : "-mouse") + std::to_string(n) + "@" + text(point) +
                         "x" + std::to_string(clickCount));
    }

    void postMouseMove(Point point, std::optional<MouseButton> dragButton) override {
        lastMove = point;
        if (display) display->setCursor(point);
        tokens.push_back(
            (dragButton ? "drag" + std::to_string(dragButton->buttonNumber()) : "move") + "@" +
            text(point));
    }

    void postRelativeMouseMove(int dx, int dy) override {
        relativeTotal.dx += dx;
        relativeTotal.dy += dy;
        if (display) display->moveCursorBy(dx, dy);
        tokens.push_back("rel(" + std::to_string(dx) + "," + std::to_string(dy) + ")");
    }

    void postScroll(std::int32_t wheel1, std::int32_t wheel2) override {
        scrollWheel1Total += wheel1;
        scrollWheel2Total += wheel2;
        tokens.push_back("scroll(" + std::to_string(wheel1) + "," + std::to_string(wheel2) + ")");
    }

    void postScrollNotch(std::int32_t wheel1, std::int32_t wheel2) override {
        tokens.push_back("notch(" + std::to_string(wheel1) + "," + std::to_string(wheel2) + ")");
    }

    static std::string text(Point p) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "(%g,%g)", p.x, p.y);
        return buffer;
    }

private:
    void record(const KeyEvent& event) {
        keyEvents.push_back(event);
        char buffer[64];
        const std::string name(event.modifier ? persistedName(*event.modifier)
                                              : caseName(event.key));
        if (event.kind == KeyEvent::Kind::systemDefined) {
            std::snprintf(buffer, sizeof buffer, "(0x%" PRIx64 ")",
                          static_cast<std::uint64_t>(event.data1));
            track(heldSystemKeyTypes, event.systemKeyType, event.isDown, false);
        } else {
            std::snprintf(buffer, sizeof buffer, "(0x%" PRIX64 ")", event.flags);
            track(heldKeyCodes, event.virtualKeyCode, event.isDown, event.modifier.has_value());
        }
        const char* sign = event.isAutorepeat ? "*" : event.isDown ? "+" : "-";
        tokens.push_back(sign + name + buffer);
    }

    template <typename T>
    void track(std::set<T>& held, T value, bool isDown, bool isModifier) {
        if (isDown) {
            if (!held.insert(value).second && isModifier) ++modifierDownsWhileHeld;
        } else if (held.erase(value) == 0) {
            ++upsWhileNotHeld;
        }
    }
};

}  // namespace joywright

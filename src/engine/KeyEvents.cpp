#include "engine/KeyEvents.hpp"

#include <variant>

#include "model/KeyCombo.hpp"

namespace joywright {

namespace {

constexpr std::uint64_t kArrowFlags = EventFlag::secondaryFn | EventFlag::numericPad;

KeyEvent keyboardEvent(KeyCode key, bool isDown, std::uint64_t modifierFlags) {
    KeyEvent event;
    event.kind = KeyEvent::Kind::keyboard;
    event.key = key;
    event.virtualKeyCode = rawValue(key);
    event.isDown = isDown;
    event.isFlagsChanged = isFlagsChangedKeyCode(event.virtualKeyCode);
    event.flags = modifierFlags | keyClassFlags(key);
    if (key == KeyCode::capsLock && isDown) event.flags |= EventFlag::alphaShift;
    if (!event.isFlagsChanged) event.flags |= EventFlag::nonCoalesced;
    return event;
}

KeyEvent systemKeyEvent(KeyCode key, bool isDown) {
    KeyEvent event;
    event.kind = KeyEvent::Kind::systemDefined;
    event.key = key;
    event.isDown = isDown;
    event.flags = isDown ? kSystemKeyDownFlags : kSystemKeyUpFlags;
    event.systemKeyType = systemKeyType(key);
    event.data1 = (static_cast<std::int64_t>(event.systemKeyType) << 16) |
                  static_cast<std::int64_t>(event.flags);
    return event;
}

}  // namespace

std::uint64_t keyClassFlags(KeyCode key) {
    switch (key) {
        case KeyCode::help:
        case KeyCode::home:
        case KeyCode::pageUp:
        case KeyCode::forwardDelete:
        case KeyCode::end:
        case KeyCode::pageDown:
        case KeyCode::f1:
        case KeyCode::f2:
        case KeyCode::f3:
        case KeyCode::f4:
        case KeyCode::f5:
        case KeyCode::f6:
        case KeyCode::f7:
        case KeyCode::f8:
        case KeyCode::f9:
        case KeyCode::f10:
        case KeyCode::f11:
        case KeyCode::f12:
        case KeyCode::f13:
        case KeyCode::f14:
        case KeyCode::f15:
        case KeyCode::f16:
        case KeyCode::f17:
        case KeyCode::f18:
        case KeyCode::f19:
        case KeyCode::f20:
            return EventFlag::secondaryFn;
        case KeyCode::leftArrow:
        case KeyCode::rightArrow:
        case KeyCode::downArrow:
        case KeyCode::upArrow:
            return kArrowFlags;
        case KeyCode::enter:
        case KeyCode::keypadDecimal:
        case KeyCode::keypadMultiply:
        case KeyCode::keypadPlus:
        case KeyCode::keypadClear:
        case KeyCode::keypadDivide:
        case KeyCode::keypadMinus:
        case KeyCode::keypadEquals:
        case KeyCode::keypad0:
        case KeyCode::keypad1:
        case KeyCode::keypad2:
        case KeyCode::keypad3:
        case KeyCode::keypad4:
        case KeyCode::keypad5:
        case KeyCode::keypad6:
        case KeyCode::keypad7:
        case KeyCode::keypad8:
        case KeyCode::keypad9:
            return EventFlag::numericPad;
        default:
            return 0;
    }
}

KeyEventList postKeyEvents(std::optional<KeyCode> key, ModifierSet released, ModifierSet pressed,
                           ModifierSet current, bool isDown) {
    KeyEventList events;
    // The state before the steps; each modifier step changes it, and each event carries the
    // state after its own step.
    ModifierSet state = current.subtracting(pressed).unionWith(released);
    for (const auto& step : steps(key, pressed, released)) {
        if (const auto* m = std::get_if<KeyComboStep::Modifier>(&step.value)) {
            if (pressed.contains(m->modifier)) {
                state.insert(m->modifier);
            } else if (released.contains(m->modifier)) {
                state.remove(m->modifier);
            }
            auto event = keyboardEvent(keyCode(m->modifier), isDown, eventFlags(state));
            event.modifier = m->modifier;
            events.push(event);
        } else if (const auto* k = std::get_if<KeyComboStep::Key>(&step.value)) {
            events.push(keyboardEvent(k->key, isDown, eventFlags(state)));
        } else if (const auto* s = std::get_if<KeyComboStep::SystemKey>(&step.value)) {
            if (isSystemKey(s->key)) events.push(systemKeyEvent(s->key, isDown));
        }
    }
    return events;
}

KeyEventList postKeyRepeatEvents(KeyCode key, ModifierSet modifiers) {
    KeyEventList events;
    if (isSystemKey(key)) return events;
    auto event = keyboardEvent(key, true, eventFlags(modifiers));
    event.isAutorepeat = true;
    events.push(event);
    return events;
}

}  // namespace joywright

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <type_traits>

#include "model/KeyCode.hpp"
#include "model/ModifierKey.hpp"

namespace joywright {

// The platform-neutral expansion of EventSynthesizer::postKey and postKeyRepeat into the events a
// synthesizer posts, so every platform makes the same decisions: which events, in which order,
// with which flag words. A synthesizer walks the list and posts each event; it does not reorder,
// merge or add any.
//
// Example: postKeyEvents(a, released {}, pressed {leftShift, leftCommand}, current {leftShift,
// leftCommand}, down) gives
//   keyboard  key shift   (56)  down  flags 0x20002     flagsChanged
//   keyboard  key command (55)  down  flags 0x12000A    flagsChanged
//   keyboard  key a       (0)   down  flags 0x12010A    (0x12000A | NonCoalesced)

// Key class bits of a keyboard key: SecondaryFn for help, home, pageUp, forwardDelete, end,
// pageDown and f1...f20; SecondaryFn | NumericPad for the four arrows; NumericPad for enter and
// the seventeen keypad keys; 0 for every other key (function and the modifier keys included).
std::uint64_t keyClassFlags(KeyCode key);

// The virtual key codes 54...63 (the command, shift, caps lock, option and control keys of both
// sides, and fn) make flags-changed events rather than key-downs and key-ups; those events carry
// no NonCoalesced bit.
constexpr bool isFlagsChangedKeyCode(std::uint16_t virtualKeyCode) {
    return virtualKeyCode >= 54 && virtualKeyCode <= 63;
}

// A system-defined event: modifier flags 0xa00 (down) or 0xb00 (up), subtype 8, data2 -1.
inline constexpr std::uint64_t kSystemKeyDownFlags = 0xa00;
inline constexpr std::uint64_t kSystemKeyUpFlags = 0xb00;
inline constexpr int kSystemDefinedSubtype = 8;
inline constexpr std::int64_t kSystemDefinedData2 = -1;

// One event to post.
struct KeyEvent {
    enum class Kind : std::uint8_t {
        // A keyboard key-down or key-up; a flags-changed event when isFlagsChanged is true.
        keyboard,
        // A system-defined media or brightness key event (volume, play, brightness, ...).
        systemDefined,
    };

    Kind kind = Kind::keyboard;
    // The key the event is for: a modifier step's own key (leftShift -> KeyCode::shift,
    // rightCommand -> KeyCode::rightCommand), or the combo's key.
    KeyCode key = KeyCode::a;
    // Set when the event is a modifier step (a modifier changing state), none for the key step.
    std::optional<ModifierKey> modifier;
    // Keyboard events: the persisted virtual key code, rawValue(key), in the macOS numbering that
    // documents store. A platform synthesizer translates it to its own key codes.
    std::uint16_t virtualKeyCode = 0;
    bool isDown = true;
    // Keyboard events for codes 54...63: a flags-changed event, posted without NonCoalesced.
    bool isFlagsChanged = false;
    // An auto-repeat key-down (the keyboard event's autorepeat field set to 1).
    bool isAutorepeat = false;
    // Keyboard events: the complete flag word that replaces whatever the event carried: the
    // eventFlags of the modifiers held at this step, | keyClassFlags(key), | AlphaShift for a caps
    // lock key-down (and each of its repeats), | NonCoalesced unless isFlagsChanged.
    // System-defined events: the event's modifier flags, kSystemKeyDownFlags or kSystemKeyUpFlags.
    std::uint64_t flags = 0;
    // System-defined events only: systemKeyType(key) (soundUp 0 ... illuminationToggle 23), and
    // data1 = (systemKeyType << 16) | flags, e.g. 0x100a00 for play down, 0x100b00 for play up.
    int systemKeyType = 0;
    std::int64_t data1 = 0;

    friend bool operator==(const KeyEvent&, const KeyEvent&) = default;
};

// Up to 8 + 1 + 8 events, without allocation. Only the pushed events are ever constructed, so
// an almost empty list (a repeat, a single key) costs next to nothing.
class KeyEventList {
public:
    static constexpr std::size_t kCapacity = 17;

    KeyEventList() {}

    void push(const KeyEvent& event) {
        if (count_ < kCapacity) storage_.items[count_++] = event;
    }
    const KeyEvent* begin() const { return storage_.items; }
    const KeyEvent* end() const { return storage_.items + count_; }
    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    const KeyEvent& operator[](std::size_t i) const { return storage_.items[i]; }

private:
    static_assert(std::is_trivially_copyable_v<KeyEvent>);
    static_assert(std::is_trivially_destructible_v<KeyEvent>);
    union Storage {
        Storage() {}
        KeyEvent items[kCapacity];
    };
    Storage storage_;
    std::size_t count_ = 0;
};

// The events of postKey: the newly pressed modifiers (ascending case order), then the key (a
// system-defined event for a system key), then the released modifiers (ascending case order,
// not reversed), all with the same isDown. The modifier state starts at (current - pressed) |
// released and changes at each modifier step, so a modifier's own down event carries its flag
// and its own up event no longer does.
KeyEventList postKeyEvents(std::optional<KeyCode> key, ModifierSet released, ModifierSet pressed,
                           ModifierSet current, bool isDown);

// The events of postKeyRepeat: one auto-repeat key-down of the key with the flags of
// `modifiers`, and no modifier events. Empty for a system key, which never repeats.
KeyEventList postKeyRepeatEvents(KeyCode key, ModifierSet modifiers);

}  // namespace joywright

#pragma once

#include <optional>
#include <span>
#include <vector>

#include "model/MouseButton.hpp"

namespace joywright {

// The mouse buttons the engine holds down, in press order, without duplicates. Main thread only;
// allocates only when more buttons than its reserve are held at once.
class DraggedMouseButtons {
public:
    static constexpr std::size_t kReservedCapacity = 32;

    DraggedMouseButtons() { buttons_.reserve(kReservedCapacity); }

    // Appends the button unless an equal one is already held.
    void add(const MouseButton& button);
    // Removes every button equal to it.
    void remove(const MouseButton& button);
    // The button a cursor move drags: none when nothing is held; left when left is held;
    // otherwise the most recently pressed button still held.
    std::optional<MouseButton> dragButton() const;

    std::span<const MouseButton> buttons() const { return buttons_; }
    bool empty() const { return buttons_.empty(); }
    void removeAll() { buttons_.clear(); }

private:
    std::vector<MouseButton> buttons_;
};

}  // namespace joywright

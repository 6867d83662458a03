#include "engine/DraggedMouseButtons.hpp"

#include <algorithm>

namespace joywright {

void DraggedMouseButtons::add(const MouseButton& button) {
    if (std::find(buttons_.begin(), buttons_.end(), button) == buttons_.end())
        buttons_.push_back(button);
}

void DraggedMouseButtons::remove(const MouseButton& button) {
    buttons_.erase(std::remove(buttons_.begin(), buttons_.end(), button), buttons_.end());
}

std::optional<MouseButton> DraggedMouseButtons::dragButton() const {
    if (buttons_.empty()) return std::nullopt;
    if (std::find(buttons_.begin(), buttons_.end(), MouseButton::left()) != buttons_.end())
        return MouseButton::left();
    return buttons_.back();
}

}  // namespace joywright

#include "model/MouseButton.hpp"

namespace joywright {

std::string MouseButton::description() const {
    switch (kind_) {
        case Kind::left:
            return "left";
        case Kind::right:
            return "right";
        case Kind::center:
            return "center";
        case Kind::other:
            return "other(" + std::to_string(other_) + ")";
    }
    return {};
}

}  // namespace joywright

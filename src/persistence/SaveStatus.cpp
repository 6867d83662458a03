#include "persistence/SaveStatus.hpp"

namespace joywright {

std::string SaveStatus::description() const {
    if (const auto* failure = as<Error>()) return "error(" + failure->text + ")";
    return is<Saving>() ? "saving" : "idle";
}

}  // namespace joywright

#pragma once

#include <vector>

#include "model/Mapping.hpp"

namespace joywright {

// Each call builds a new mapping with a new id.
Mapping webSurfingMapping();
Mapping firstPersonShooterMapping();
Mapping dragonQuestBuilders1Mapping();

// The three above, in that order.
std::vector<Mapping> defaultMappings();

}  // namespace joywright

#pragma once

#include <string>

#include "shell/JoywrightApp.hpp"

namespace joywright {

// What `joywright` prints on standard output at start while it has no window or tray icon: that
// they are not there yet, how it works meanwhile (the "autoEnableMode" mapping starts when a
// controller connects), where the mappings and preferences are, the mappings with their ids, and
// how to stop it. Also says when input cannot be posted (no X display or no XTest).
std::string startupNotice(const JoywrightApp& app);

}  // namespace joywright

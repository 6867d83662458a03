#pragma once

#include <filesystem>
#include <string>

#include "support/Expected.hpp"

namespace joywright {

// The per-user folders of the application. Each helper creates its folder (with any missing
// parents) and returns it, or gives a readable reason it could not. Any thread.

// $XDG_DATA_HOME/Joywright, or ~/.local/share/Joywright when XDG_DATA_HOME is unset, empty or
// not an absolute path.
Expected<std::filesystem::path, std::string> appDataDirectory();
// appDataDirectory()/Mappings: one <id>.json document per mapping.
Expected<std::filesystem::path, std::string> mappingsDirectory();
// appDataDirectory()/Backups: the one-time backup of the legacy mapping list.
Expected<std::filesystem::path, std::string> backupsDirectory();
// $XDG_CONFIG_HOME/Joywright, or ~/.config/Joywright: holds preferences.json.
Expected<std::filesystem::path, std::string> configDirectory();

}  // namespace joywright

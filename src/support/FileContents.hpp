#pragma once

#include <filesystem>
#include <string>

#include "support/Expected.hpp"

namespace joywright {

// The whole file as bytes, or the errno value that stopped the read (ENOENT for a missing file).
Expected<std::string, int> readFileContents(const std::filesystem::path& file);

}  // namespace joywright

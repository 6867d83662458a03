#pragma once

#include <string_view>

namespace joywright {

// Preference keys of mapping persistence. The names are stored on disk and must never change.
inline constexpr std::string_view kMappingOrderKey = "MappingOrder";              // list of text
inline constexpr std::string_view kDidMigrateKey = "MappingStore.didMigrate";     // Bool
inline constexpr std::string_view kSavedMappingsKey = "SavedMappings";            // data
inline constexpr std::string_view kDidBackupV1Key = "MappingBackup.didBackupV1";  // Bool

}  // namespace joywright

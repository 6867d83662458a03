#pragma once

#include <chrono>
#include <filesystem>
#include <string>

#include "persistence/PreferencesStore.hpp"

namespace joywright {

// Writes the legacy "SavedMappings" list once into the backups folder (created when missing) as
// backupFileName(), pretty-printed with sorted keys when it is JSON, else byte for byte; then sets
// "MappingBackup.didBackupV1". With no legacy list it only sets the flag. Never throws: every
// failure is logged and leaves the flag unset, so the next launch tries again. Main thread.
void backupLegacyMappings(PreferencesStore& defaults, const std::filesystem::path& backupsFolder);
// The same into backupsDirectory().
void backupLegacyMappings(PreferencesStore& defaults);

// "mappings-v1-backup-2025-03-07T14-05-09.json": the local time of `when`.
std::string backupFileName(std::chrono::system_clock::time_point when);
// The same for now.
std::string backupFileName();

}  // namespace joywright

#include "persistence/LegacyBackup.hpp"

#include <ctime>
#include <functional>
#include <system_error>

#include <nlohmann/json.hpp>

#include "persistence/DataDirectories.hpp"
#include "persistence/PreferenceKeys.hpp"
#include "support/AtomicFile.hpp"
#include "support/JsonWriter.hpp"
#include "support/Log.hpp"

namespace joywright {

std::string backupFileName(std::chrono::system_clock::time_point when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H-%M-%S", &local);
    return "mappings-v1-backup-" + std::string(text, length) + ".json";
}

std::string backupFileName() {
    return backupFileName(std::chrono::system_clock::now());
}

namespace {

using FolderResult = Expected<std::filesystem::path, std::string>;

// `getFolder` gives the backups folder, created; it is asked only when there is data to back up.
void writeBackupOnce(PreferencesStore& defaults, const std::function<FolderResult()>& getFolder) {
    if (defaults.boolean(kDidBackupV1Key)) {
        JW_LOG_DEBUG(backup, "Already backed up, skipping");
        return;
    }
    const auto legacy = defaults.data(kSavedMappingsKey);
    if (!legacy) {
        JW_LOG_DEBUG(backup, "No saved mappings found, nothing to back up");
        defaults.setValue(kDidBackupV1Key, true);
        return;
    }

    const FolderResult folder = getFolder();
    if (!folder) {
        JW_LOG_ERROR(backup, "Failed to write backup: %s", folder.error().c_str());
        return;
    }
    const std::filesystem::path& backupsFolder = *folder;
    const std::string fileName = backupFileName();
    const std::filesystem::path file = backupsFolder / fileName;

    const auto json = nlohmann::json::parse(legacy->bytes, nullptr, /*allow_exceptions=*/false);
    std::string contents;
    if (json.is_object() || json.is_array()) {
        JW_LOG_INFO(backup, "Saved data is valid JSON (%ld bytes)",
                    static_cast<long>(legacy->bytes.size()));
        contents = writePrettyJson(json);
    } else {
        JW_LOG_ERROR(backup, "Saved data is not valid JSON, backing up raw bytes anyway");
        contents = legacy->bytes;
    }

    if (auto failure = writeFileAtomically(file, contents)) {
        JW_LOG_ERROR(backup, "Failed to write backup: %s", failure->c_str());
        return;
    }
    defaults.setValue(kDidBackupV1Key, true);
    JW_LOG_INFO(backup, "Wrote %s to %s", fileName.c_str(), backupsFolder.c_str());
}

}  // namespace

void backupLegacyMappings(PreferencesStore& defaults, const std::filesystem::path& backupsFolder) {
    writeBackupOnce(defaults, [&]() -> FolderResult {
        std::error_code error;
        std::filesystem::create_directories(backupsFolder, error);
        if (error)
            return unexpected("Could not create " + backupsFolder.string() + ": " +
                              error.message());
        return backupsFolder;
    });
}

void backupLegacyMappings(PreferencesStore& defaults) {
    writeBackupOnce(defaults, backupsDirectory);
}

}  // namespace joywright

#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "model/Mapping.hpp"
#include "persistence/CorruptFile.hpp"
#include "persistence/PreferencesStore.hpp"
#include "support/Expected.hpp"

namespace joywright {

// What one pass over the mappings folder found.
struct LoadedMappings {
    // In folder-listing order; every id appears once.
    std::vector<Mapping> mappings;
    std::vector<CorruptFile> corruptFiles;
};

// Where the sync coordinator keeps mappings, one document per mapping. Failures come back as
// readable descriptions; none of these throw. Main thread only.
class MappingStorage {
public:
    virtual ~MappingStorage() = default;

    // The mappings folder.
    virtual const std::filesystem::path& directory() const = 0;

    // Every mapping in the folder, and the files that did not load. On a first run (empty folder,
    // "MappingStore.didMigrate" unset) the default mappings, not yet written. Fails only when the
    // folder cannot be created or listed.
    virtual Expected<LoadedMappings, std::string> loadAll(const PreferencesStore& defaults) = 0;

    // Writes the mapping's document, replacing any earlier one; none on success.
    [[nodiscard]] virtual std::optional<std::string> save(const Mapping& mapping) = 0;

    // Removes the mapping's document; a missing document is not an error. None on success.
    [[nodiscard]] virtual std::optional<std::string> deleteMapping(const Uuid& id) = 0;

    // Moves the legacy "SavedMappings" list into documents once; true when it did. Fails when the
    // folder cannot be created or a document cannot be written (the flag then stays unset).
    virtual Expected<bool, std::string> migrateLegacyMappings(PreferencesStore& defaults) = 0;
};

}  // namespace joywright

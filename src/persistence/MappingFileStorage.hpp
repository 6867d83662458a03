#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "persistence/MappingStorage.hpp"

namespace joywright {

// Mappings as files in one folder: the mapping with id X is "<X>.json" (canonical upper-case id
// text), holding its pretty-printed document, written with writeFileAtomically so that a crash
// or power cut leaves either the old or the new document. Only regular, non-hidden entries whose
// extension is exactly ".json" are read, in file-name order. Main thread only.
class MappingFileStorage final : public MappingStorage {
public:
    explicit MappingFileStorage(std::filesystem::path directory);

    const std::filesystem::path& directory() const override { return directory_; }

    // Files that fail to read or decode become CorruptFile entries (and log lines) and never stop
    // the pass. When several files hold the same mapping id, the one named after the id is
    // loaded (else the first by name) and the others are reported as `duplicateID`. Temporary files
    // that a crash left behind more than ten minutes ago are removed.
    Expected<LoadedMappings, std::string> loadAll(const PreferencesStore& defaults) override;
    [[nodiscard]] std::optional<std::string> save(const Mapping& mapping) override;
    [[nodiscard]] std::optional<std::string> deleteMapping(const Uuid& id) override;
    Expected<bool, std::string> migrateLegacyMappings(PreferencesStore& defaults) override;

    // directory()/<id>.json
    std::filesystem::path fileFor(const Uuid& id) const;

private:
    std::filesystem::path directory_;
};

// The mapping name of a file that does not decode: the "name" string of a JSON object, or else,
// in text that is valid UTF-8, the first capture of the pattern "name"\s*:\s*"([^"]*)" taken
// verbatim (no unescaping). None when the file cannot be read or nothing matches.
std::optional<std::string> recoverMappingName(const std::filesystem::path& file);
// The same over bytes already read.
std::optional<std::string> recoverMappingNameFromBytes(std::string_view bytes);

}  // namespace joywright

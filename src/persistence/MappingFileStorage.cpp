#include "persistence/MappingFileStorage.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include <nlohmann/json.hpp>

#include "model/DefaultMappings.hpp"
#include "model/MappingDocument.hpp"
#include "persistence/PreferenceKeys.hpp"
#include "persistence/TextCoding.hpp"
#include "support/AtomicFile.hpp"
#include "support/FileContents.hpp"
#include "support/Log.hpp"

namespace joywright {

namespace {

// The whole file, or a readable reason it could not be read.
Expected<std::string, std::string> readWholeFile(const std::filesystem::path& file) {
    auto bytes = readFileContents(file);
    if (!bytes) return unexpected(std::string(std::strerror(bytes.error())));
    return std::move(bytes).value();
}

// Regular (after following links), not hidden, extension exactly ".json".
bool isMappingFile(const std::filesystem::directory_entry& entry) {
    const std::string name = entry.path().filename().string();
    if (name.empty() || name.front() == '.') return false;
    if (entry.path().extension() != ".json") return false;
    std::error_code error;
    return entry.is_regular_file(error);
}

// A temporary file that writeFileAtomically left behind when the process died mid-write
// (".<name>.json.tmp-<random>"), old enough that no writer can still be using it.
bool isStaleTemporaryFile(const std::filesystem::directory_entry& entry) {
    static constexpr auto kMinimumAge = std::chrono::minutes(10);
    const std::string name = entry.path().filename().string();
    if (name.empty() || name.front() != '.' || name.find(".json.tmp-") == std::string::npos) {
        return false;
    }
    std::error_code error;
    if (!entry.is_regular_file(error)) return false;
    const auto modified = entry.last_write_time(error);
    return !error && std::filesystem::file_time_type::clock::now() - modified > kMinimumAge;
}

bool isJsonSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// The first match of "name"\s*:\s*"([^"]*)" in `text`. Scanned by hand: every match starts at
// an occurrence of "name", and from there the pattern allows exactly one way forward.
std::optional<std::string> firstNameMatch(std::string_view text) {
    static constexpr std::string_view kKey = "\"name\"";
    for (std::size_t at = text.find(kKey); at != std::string_view::npos;
         at = text.find(kKey, at + 1)) {
        std::size_t i = at + kKey.size();
        while (i < text.size() && isJsonSpace(text[i]))
            ++i;
        if (i >= text.size() || text[i] != ':') continue;
        ++i;
        while (i < text.size() && isJsonSpace(text[i]))
            ++i;
        if (i >= text.size() || text[i] != '"') continue;
        const std::size_t start = i + 1;
        const std::size_t end = text.find('"', start);
        if (end == std::string_view::npos) continue;
        return std::string(text.substr(start, end - start));
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> recoverMappingNameFromBytes(std::string_view bytes) {
    const auto json = nlohmann::json::parse(bytes, nullptr, /*allow_exceptions=*/false);
    if (json.is_object()) {
        if (const auto name = json.find("name"); name != json.end() && name->is_string()) {
            return name->get<std::string>();
        }
    }
    if (!isValidUtf8(bytes)) return std::nullopt;
    return firstNameMatch(bytes);
}

std::optional<std::string> recoverMappingName(const std::filesystem::path& file) {
    auto bytes = readWholeFile(file);
    if (!bytes) return std::nullopt;
    return recoverMappingNameFromBytes(*bytes);
}

MappingFileStorage::MappingFileStorage(std::filesystem::path directory)
    : directory_(std::move(directory)) {}

std::filesystem::path MappingFileStorage::fileFor(const Uuid& id) const {
    return directory_ / (id.text() + ".json");
}

Expected<LoadedMappings, std::string> MappingFileStorage::loadAll(
    const PreferencesStore& defaults) {
    std::error_code error;
    if (!std::filesystem::exists(directory_, error)) {
        std::filesystem::create_directories(directory_, error);
        if (error) {
            return unexpected("Could not create " + directory_.string() + ": " + error.message());
        }
    }

    std::vector<std::filesystem::path> files;
    std::vector<std::filesystem::path> leftovers;
    std::filesystem::directory_iterator listing(directory_, error);
    if (error) return unexpected("Could not list " + directory_.string() + ": " + error.message());
    for (const auto end = std::filesystem::directory_iterator(); listing != end;
         listing.increment(error)) {
        if (isMappingFile(*listing)) {
            files.push_back(listing->path());
        } else if (isStaleTemporaryFile(*listing)) {
            leftovers.push_back(listing->path());
        }
    }
    if (error) return unexpected("Could not list " + directory_.string() + ": " + error.message());
    std::size_t removed = 0;
    for (const auto& leftover : leftovers)
        removed += ::unlink(leftover.c_str()) == 0;
    if (removed > 0) {
        JW_LOG_INFO(backup, "Removed %ld leftover temporary files", static_cast<long>(removed));
    }
    // Listing order is whatever the file system gives; file-name order makes "the first of two
    // files with the same id" the same on every launch.
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
        return a.filename().native() < b.filename().native();
    });

    LoadedMappings loaded;
    if (files.empty()) {
        if (!defaults.boolean(kDidMigrateKey)) loaded.mappings = defaultMappings();
        return loaded;
    }

    struct Decoded {
        std::filesystem::path file;
        Mapping mapping;
        bool namedAfterID;
    };
    std::vector<Decoded> decoded;
    for (const auto& file : files) {
        const std::string fileName = file.filename().string();
        CorruptFile corrupt{.url = file,
                            .mappingID = Uuid::parse(file.stem().string()),
                            .reason = CorruptionReason::unreadable,
                            .name = std::nullopt};

        auto bytes = readWholeFile(file);
        if (!bytes) {
            JW_LOG_ERROR(backup, "Skipping unreadable mapping file %s: %s", fileName.c_str(),
                         bytes.error().c_str());
            loaded.corruptFiles.push_back(std::move(corrupt));
            continue;
        }
        auto mapping = readMappingDocument(*bytes);
        if (!mapping) {
            JW_LOG_ERROR(backup, "Skipping corrupt mapping file %s: %s", fileName.c_str(),
                         mapping.error().description().c_str());
            corrupt.reason = corruptionReason(mapping.error().kind);
            corrupt.name = recoverMappingNameFromBytes(*bytes);
            loaded.corruptFiles.push_back(std::move(corrupt));
            continue;
        }
        const bool namedAfterID = corrupt.mappingID == mapping->id;
        decoded.push_back({file, std::move(mapping).value(), namedAfterID});
    }

    // Of several files holding one id (a copied file), the one named after the id wins, else the
    // first by name; the others are reported, so that a copy laid over another mapping's file
    // leaves that mapping recoverable rather than silently replaced.
    std::unordered_map<Uuid, std::size_t> winner;
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        const auto [entry, inserted] = winner.emplace(decoded[i].mapping.id, i);
        if (!inserted && decoded[i].namedAfterID && !decoded[entry->second].namedAfterID) {
            entry->second = i;
        }
    }
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        auto& item = decoded[i];
        const std::size_t kept = winner.at(item.mapping.id);
        if (kept == i) {
            loaded.mappings.push_back(std::move(item.mapping));
            continue;
        }
        JW_LOG_ERROR(backup, "Skipping mapping file %s: mapping %s is already loaded from %s",
                     item.file.filename().c_str(), item.mapping.id.text().c_str(),
                     decoded[kept].file.filename().c_str());
        loaded.corruptFiles.push_back(
            CorruptFile{.url = item.file,
                        .mappingID = Uuid::parse(item.file.stem().string()),
                        .reason = CorruptionReason::duplicateID,
                        .name = std::move(item.mapping.name)});
    }
    return loaded;
}

std::optional<std::string> MappingFileStorage::save(const Mapping& mapping) {
    return writeFileAtomically(fileFor(mapping.id), writeMappingDocument(mapping));
}

std::optional<std::string> MappingFileStorage::deleteMapping(const Uuid& id) {
    const auto file = fileFor(id);
    if (::unlink(file.c_str()) == 0 || errno == ENOENT) return std::nullopt;
    return "Could not remove " + file.string() + ": " + std::strerror(errno);
}

Expected<bool, std::string> MappingFileStorage::migrateLegacyMappings(PreferencesStore& defaults) {
    if (defaults.boolean(kDidMigrateKey)) return false;
    const auto legacy = defaults.data(kSavedMappingsKey);
    if (!legacy) return false;

    auto mappings = readMappingDocuments(legacy->bytes);
    if (!mappings) {
        JW_LOG_ERROR(backup,
                     "Migration decode failed — flag NOT set, will retry on next launch: %s",
                     mappings.error().description().c_str());
        return false;
    }

    std::error_code error;
    std::filesystem::create_directories(directory_, error);
    if (error) {
        return unexpected("Could not create " + directory_.string() + ": " + error.message());
    }

    // A list naming one id twice (a copied entry) keeps its first occurrence, as loading does.
    std::vector<std::string> order;
    std::unordered_set<Uuid> written;
    for (const auto& mapping : *mappings) {
        if (!written.insert(mapping.id).second) continue;
        if (auto failure = save(mapping)) return unexpected(std::move(*failure));
        order.push_back(mapping.id.text());
    }
    defaults.setValue(kMappingOrderKey, std::move(order));
    defaults.setValue(kDidMigrateKey, true);
    JW_LOG_DEFAULT(backup, "Migrated %ld mappings to file-based storage",
                   static_cast<long>(written.size()));
    JW_LOG_INFO(backup, "Legacy UserDefaults blob retained intentionally as implicit backup");
    return true;
}

}  // namespace joywright

#pragma once

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "model/DefaultMappings.hpp"
#include "model/Mapping.hpp"
#include "persistence/MappingFileStorage.hpp"
#include "persistence/MappingStorage.hpp"

namespace joywright::testing {

// A fresh folder under the system temporary folder, removed (permissions restored first) when
// the object goes away.
class TempFolder {
public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "joywright-persistence-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code error;
        for (auto it = std::filesystem::recursive_directory_iterator(path_, error);
             !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
            if (it->is_directory(error)) ::chmod(it->path().c_str(), 0755);
        }
        ::chmod(path_.c_str(), 0755);
        std::filesystem::remove_all(path_, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Sets environment variables (none: unset) for one test and puts the old values back after.
class ScopedEnvironment {
public:
    void set(const char* name, const std::optional<std::string>& value) {
        if (!saved_.contains(name)) {
            const char* old = std::getenv(name);
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        apply(name, value);
    }
    ~ScopedEnvironment() {
        for (const auto& [name, value] : saved_)
            apply(name, value);
    }

private:
    static void apply(const std::string& name, const std::optional<std::string>& value) {
        value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
    }
    std::map<std::string, std::optional<std::string>> saved_;
};

inline std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFile(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Names of the entries in `folder`, sorted.
inline std::vector<std::string> entryNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

inline Mapping renamed(Mapping mapping, std::string name) {
    mapping.name = std::move(name);
    return mapping;
}

inline std::vector<std::string> namesOf(const std::vector<Mapping>& mappings) {
    std::vector<std::string> names;
    for (const auto& mapping : mappings)
        names.push_back(mapping.name);
    return names;
}

inline std::vector<std::string> idTexts(const std::vector<Mapping>& mappings) {
    std::vector<std::string> ids;
    for (const auto& mapping : mappings)
        ids.push_back(mapping.id.text());
    return ids;
}

// The storage of a folder, recording each operation as "save <name>" or "delete <id>"; the
// operations on ids in `failing` (or saves of names in `failingNames`) fail with the given
// description instead.
class RecordingStorage final : public MappingStorage {
public:
    explicit RecordingStorage(std::filesystem::path directory) : files_(std::move(directory)) {}

    const std::filesystem::path& directory() const override { return files_.directory(); }
    Expected<LoadedMappings, std::string> loadAll(const PreferencesStore& defaults) override {
        return files_.loadAll(defaults);
    }
    std::optional<std::string> save(const Mapping& mapping) override {
        operations.push_back("save " + mapping.name);
        if (auto failure = failing.find(mapping.id); failure != failing.end()) {
            return failure->second;
        }
        if (auto failure = failingNames.find(mapping.name); failure != failingNames.end()) {
            return failure->second;
        }
        return files_.save(mapping);
    }
    std::optional<std::string> deleteMapping(const Uuid& id) override {
        operations.push_back("delete " + id.text());
        if (auto failure = failing.find(id); failure != failing.end()) return failure->second;
        return files_.deleteMapping(id);
    }
    Expected<bool, std::string> migrateLegacyMappings(PreferencesStore& defaults) override {
        return files_.migrateLegacyMappings(defaults);
    }

    MappingFileStorage& files() { return files_; }

    std::vector<std::string> operations;
    std::map<Uuid, std::string> failing;
    std::map<std::string, std::string> failingNames;

private:
    MappingFileStorage files_;
};

}  // namespace joywright::testing

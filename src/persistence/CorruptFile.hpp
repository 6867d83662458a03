#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "persistence/CorruptionReason.hpp"
#include "support/Uuid.hpp"

namespace joywright {

// A file in the mappings folder that did not load. Identity is `url`; equality and hashing cover
// every field.
struct CorruptFile {
    std::filesystem::path url;
    // Parsed from the file name without ".json"; none when that is not a UUID.
    std::optional<Uuid> mappingID;
    CorruptionReason reason = CorruptionReason::unreadable;
    // The mapping name recovered from the raw file; always none for `unreadable`.
    std::optional<std::string> name;

    friend bool operator==(const CorruptFile&, const CorruptFile&) = default;
};

}  // namespace joywright

template <>
struct std::hash<joywright::CorruptFile> {
    std::size_t operator()(const joywright::CorruptFile& file) const noexcept {
        std::size_t h = std::filesystem::hash_value(file.url);
        auto mix = [&h](std::size_t v) { h ^= v + 0x9E3779B97F4A7C15ULL + (h << 6) + (h >> 2); };
        mix(file.mappingID ? std::hash<joywright::Uuid>{}(*file.mappingID) : 0);
        mix(static_cast<std::size_t>(file.reason));
        mix(file.name ? std::hash<std::string>{}(*file.name) : 1);
        return h;
    }
};

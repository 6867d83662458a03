#include "app/MappingCreation.hpp"

#include "model/MappingDocument.hpp"
#include "support/Utf8.hpp"

namespace joywright {

Mapping untitledMapping() {
    return Mapping{
        .id = newMappingID(),
        .name = std::string(kUntitledMappingName),
        .inputs = normalizedInputs({}),
        .leftThumbstickMode = ThumbstickMode::smooth,
        .rightThumbstickMode = ThumbstickMode::smooth,
        .schemaVersion = std::string(kCurrentSchemaVersion),
    };
}

std::string cloneName(std::string_view name) {
    if (name.find(" copy") != std::string_view::npos) return std::string(name);
    return std::string(name) + " copy";
}

Mapping clonedMapping(const Mapping& source) {
    Mapping copy = source;
    copy.id = newMappingID();
    copy.name = cloneName(source.name);
    return copy;
}

Expected<Mapping, std::string> importedMapping(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = utf8SequenceLength(text, at);
        if (length == 0) return unexpected(std::string("Invalid text encoding."));
        at += length;
    }
    auto read = readMappingDocument(text);
    if (!read) return unexpected("Failed to parse JSON: " + read.error().description());
    Mapping mapping = std::move(read).value();
    mapping.id = newMappingID();
    return mapping;
}

bool isBlankImportText(std::string_view text) {
    return text.find_first_not_of(" \t\r\n\v\f") == std::string_view::npos;
}

}  // namespace joywright

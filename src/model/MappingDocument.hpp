#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/Mapping.hpp"
#include "support/Expected.hpp"

namespace joywright {

enum class DocumentErrorKind : std::uint8_t {
    notJSON,
    missingMember,
    wrongType,
    dataCorrupted,
    // A data-corrupted error located at "schemaVersion".
    unsupportedSchemaVersion,
};

// "notJSON", "missingMember", "wrongType", "dataCorrupted", "unsupportedSchemaVersion".
std::string_view name(DocumentErrorKind kind);

// Why a document did not read: the kind, where (keys and indexes from the top, written like
// "inputs[3].output.pressKey.combo"; "document" for the top level) and a readable text.
struct DocumentError {
    DocumentErrorKind kind;
    std::string location;
    std::string text;

    // "<kind> at <location>: <text>"
    std::string description() const;

    friend bool operator==(const DocumentError&, const DocumentError&) = default;
};

// Reads one mapping document. Never throws and never crashes, whatever the bytes; the first
// problem fails the whole document.
Expected<Mapping, DocumentError> readMappingDocument(std::string_view json);

// Reads a JSON array of mapping documents (the legacy single-value store).
Expected<std::vector<Mapping>, DocumentError> readMappingDocuments(std::string_view json);

// The document as files and the export sheet hold it: pretty-printed, keys sorted at every
// level, two-space indent, speeds as the shortest text that reads back as the same 32-bit
// float (800, 1234.6). Ends with a newline.
std::string writeMappingDocument(const Mapping& mapping);

}  // namespace joywright

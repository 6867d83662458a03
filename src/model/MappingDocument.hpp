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

    // "<kind> at <location>: <text>" on one line: control characters are written as \n, \u0001.
    std::string description() const;

    friend bool operator==(const DocumentError&, const DocumentError&) = default;
};

// Reads one mapping document. Never throws and never crashes, whatever the bytes; the first
// problem fails the whole document. Kinds: text that is not JSON (including invalid UTF-8 and
// nesting deeper than 512 levels) is notJSON at "document"; JSON whose top level is not an object
// is wrongType at "document"; an absent required member is missingMember at its path; null or
// the wrong JSON type where a value is required is wrongType; unknown titles, modes, modifier
// names, key numbers, button types, UUID text or a speed beyond the 32-bit float range are
// dataCorrupted. The schema version is checked last. Any thread.
Expected<Mapping, DocumentError> readMappingDocument(std::string_view json);

// Reads a JSON array of mapping documents (the legacy single-value store). Locations start at
// the element: "[2].inputs[0].id". A top level that is not an array is wrongType at "document".
Expected<std::vector<Mapping>, DocumentError> readMappingDocuments(std::string_view json);

// The document as files and the export sheet hold it: pretty-printed, keys sorted at every
// level, two-space indent, speeds as the shortest text that reads back as the same 32-bit
// float (800, 1234.6). Ends with a newline. Always reads back: a NaN speed is written as 1, an
// infinite one as the largest float of its sign, invalid UTF-8 in the name as U+FFFD. Any thread.
std::string writeMappingDocument(const Mapping& mapping);

}  // namespace joywright

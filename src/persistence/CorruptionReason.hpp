#pragma once

#include <cstdint>
#include <string_view>

#include "model/MappingDocument.hpp"

namespace joywright {

// Why a file in the mappings folder did not load.
enum class CorruptionReason : std::uint8_t {
    unreadable,      // the file could not be read
    malformedJSON,   // not JSON, or a value the document reader rejects as corrupt data
    schemaMismatch,  // a member missing or of the wrong type
    duplicateID,     // a valid document whose mapping id another file holds
};

// Shown under a mapping served from memory because its file is corrupt: "File unreadable — using
// last saved version", "Malformed JSON — using last saved version", "Schema mismatch — using last
// saved version", "Duplicate mapping ID — using last saved version".
std::string_view caption(CorruptionReason reason);

// The short form for the list of unrecoverable files: "Unreadable", "Malformed JSON", "Schema
// mismatch", "Duplicate mapping ID".
std::string_view title(CorruptionReason reason);

// The reason a document reader error gives: not JSON, corrupt data and an unsupported schema
// version are malformedJSON; a missing member or a wrong type is schemaMismatch.
CorruptionReason corruptionReason(DocumentErrorKind kind);

}  // namespace joywright

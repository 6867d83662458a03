#include "persistence/CorruptionReason.hpp"

namespace joywright {

std::string_view caption(CorruptionReason reason) {
    switch (reason) {
        case CorruptionReason::unreadable:
            return "File unreadable — using last saved version";
        case CorruptionReason::malformedJSON:
            return "Malformed JSON — using last saved version";
        case CorruptionReason::schemaMismatch:
            return "Schema mismatch — using last saved version";
        case CorruptionReason::duplicateID:
            return "Duplicate mapping ID — using last saved version";
    }
    return {};
}

std::string_view title(CorruptionReason reason) {
    switch (reason) {
        case CorruptionReason::unreadable:
            return "Unreadable";
        case CorruptionReason::malformedJSON:
            return "Malformed JSON";
        case CorruptionReason::schemaMismatch:
            return "Schema mismatch";
        case CorruptionReason::duplicateID:
            return "Duplicate mapping ID";
    }
    return {};
}

CorruptionReason corruptionReason(DocumentErrorKind kind) {
    switch (kind) {
        case DocumentErrorKind::notJSON:
        case DocumentErrorKind::dataCorrupted:
        case DocumentErrorKind::unsupportedSchemaVersion:
            return CorruptionReason::malformedJSON;
        case DocumentErrorKind::missingMember:
        case DocumentErrorKind::wrongType:
            return CorruptionReason::schemaMismatch;
    }
    return CorruptionReason::schemaMismatch;
}

}  // namespace joywright

// Reads arbitrary bytes as a mapping document and as the legacy array of documents. A document
// that reads must write, read back to the same mapping, and write to the same text again.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "model/MappingDocument.hpp"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

void checkRoundTrip(const joywright::Mapping& mapping) {
    check(mapping.inputs.size() == joywright::kInputNameCount);
    check(mapping.schemaVersion == joywright::kCurrentSchemaVersion);
    const auto text = joywright::writeMappingDocument(mapping);
    const auto again = joywright::readMappingDocument(text);
    check(again.hasValue());
    check(*again == mapping);
    check(joywright::writeMappingDocument(*again) == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const auto one = joywright::readMappingDocument(bytes);
    if (one)
        checkRoundTrip(*one);
    else
        check(!one.error().location.empty() && !one.error().description().empty());

    const auto many = joywright::readMappingDocuments(bytes);
    if (many)
        for (const auto& mapping : *many)
            checkRoundTrip(mapping);
    return 0;
}

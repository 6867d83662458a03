#include <gtest/gtest.h>

#include "app/MappingCreation.hpp"
#include "model/DefaultMappings.hpp"
#include "model/MappingDocument.hpp"

namespace joywright {
namespace {

TEST(CloneName, AppendsCopyUnlessTheNameHoldsOne) {
    struct Case {
        std::string_view name;
        std::string_view clone;
    };
    constexpr Case cases[] = {
        {"Racing", "Racing copy"},
        {"Racing copy", "Racing copy"},
        {"My copy of Racing", "My copy of Racing"},
        {"Racing copy 2", "Racing copy 2"},
        {"Copycat", "Copycat copy"},  // " copy" with its space, case-sensitive
        {"", " copy"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name));
        EXPECT_EQ(cloneName(c.name), c.clone);
    }
}

TEST(UntitledMapping, HasEveryInputUnboundInCanonicalOrder) {
    const Mapping a = untitledMapping();
    const Mapping b = untitledMapping();
    EXPECT_NE(a.id, b.id);
    EXPECT_EQ(a.name, "(Untitled)");
    ASSERT_EQ(a.inputs.size(), kInputNameCount);
    for (std::size_t i = 0; i < kInputNameCount; ++i) {
        EXPECT_EQ(a.inputs[i].id, allInputNames()[i]);
        EXPECT_EQ(a.inputs[i].output, Output::noop());
    }
    EXPECT_EQ(a.leftThumbstickMode, ThumbstickMode::smooth);
    EXPECT_EQ(a.rightThumbstickMode, ThumbstickMode::smooth);
    EXPECT_EQ(a.schemaVersion, "1.0");
}

// A fresh id even when no mapping holds the document's (the model replaces only taken ids).
TEST(ImportedMapping, TakesTheDocumentWithANewId) {
    const Mapping original = webSurfingMapping();
    const auto imported = importedMapping(writeMappingDocument(original));
    ASSERT_TRUE(imported.hasValue());
    EXPECT_NE(imported->id, original.id);
    Mapping sameButId = *imported;
    sameButId.id = original.id;
    EXPECT_EQ(sameButId, original);
}

TEST(ImportedMapping, ReportsWhyTheTextDoesNotRead) {
    const auto array = importedMapping("[]");
    ASSERT_FALSE(array.hasValue());
    EXPECT_EQ(array.error().rfind("Failed to parse JSON: ", 0), 0u) << array.error();
    EXPECT_GT(array.error().size(), std::string("Failed to parse JSON: ").size());

    const auto notUtf8 = importedMapping("{\"name\": \"\xff\"}");
    ASSERT_FALSE(notUtf8.hasValue());
    EXPECT_EQ(notUtf8.error(), "Invalid text encoding.");
}

TEST(IsBlankImportText, OnlyWhiteSpaceAndLineBreaks) {
    EXPECT_TRUE(isBlankImportText(""));
    EXPECT_TRUE(isBlankImportText("  \n\t\r\n "));
    EXPECT_FALSE(isBlankImportText(" {} "));
}

}  // namespace
}  // namespace joywright

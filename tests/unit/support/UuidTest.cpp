#include <gtest/gtest.h>

#include "support/Uuid.hpp"

namespace joywright {
namespace {

TEST(Uuid, TextIsCanonicalUpperCaseAndParsesEitherCase) {
    const auto lower = Uuid::parse("8e3c1a52-6b1f-7d2e-9a4b-0c1d2e3f4a5b");
    ASSERT_TRUE(lower);
    EXPECT_EQ(lower->text(), "8E3C1A52-6B1F-7D2E-9A4B-0C1D2E3F4A5B");
    EXPECT_EQ(Uuid::parse(lower->text()), lower);
}

TEST(Uuid, RejectsMalformedText) {
    constexpr const char* kCases[] = {
        "",
        "8E3C1A52-6B1F-7D2E-9A4B-0C1D2E3F4A5",    // too short
        "8E3C1A52-6B1F-7D2E-9A4B-0C1D2E3F4A5BB",  // too long
        "8E3C1A526B1F-7D2E-9A4B-0C1D2E3F4A5B-",   // hyphen misplaced
        "8E3C1A52-6B1F-7D2E-9A4B-0C1D2E3F4A5G",   // not hexadecimal
        "{8E3C1A5-6B1F-7D2E-9A4B-0C1D2E3F4A5B}",
    };
    for (const char* text : kCases) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(Uuid::parse(text));
    }
}

}  // namespace
}  // namespace joywright

#include <gtest/gtest.h>

#include <string_view>

#include "persistence/TextCoding.hpp"

namespace joywright {
namespace {

TEST(TextCoding, Utf8Validation) {
    struct Case {
        std::string_view bytes;
        bool valid;
    };
    static constexpr Case kCases[] = {
        {"", true},
        {"plain ascii", true},
        {"caf\xC3\xA9 \xE2\x80\x94 \xF0\x9F\x8E\xAE", true},  // é — 🎮
        {"\xC3", false},                                      // cut short
        {"\x80", false},                                      // stray continuation
        {"\xC0\xAF", false},                                  // overlong '/'
        {"\xE0\x80\xAF", false},                              // overlong
        {"\xED\xA0\x80", false},                              // surrogate
        {"\xF4\x90\x80\x80", false},                          // above U+10FFFF
        {"\xFF", false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(::testing::PrintToString(std::string(c.bytes)));
        EXPECT_EQ(isValidUtf8(c.bytes), c.valid);
    }
}

TEST(TextCoding, Base64RoundTripsEveryLengthAndByte) {
    EXPECT_EQ(base64Encode("Man"), "TWFu");
    EXPECT_EQ(base64Encode("Ma"), "TWE=");
    EXPECT_EQ(base64Encode("M"), "TQ==");
    std::string bytes;
    for (int i = 0; i < 256; ++i) {
        bytes += static_cast<char>(i);
        ASSERT_EQ(base64Decode(base64Encode(bytes)), bytes);
    }
}

TEST(TextCoding, Base64RejectsMalformedText) {
    for (std::string_view text : {"TWF", "TW=u", "TWE*", "T===", "TQ==TQ==", "TWFu\n"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(base64Decode(text), std::nullopt);
    }
}

}  // namespace
}  // namespace joywright

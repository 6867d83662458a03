#include <gtest/gtest.h>

#include "app/VersionComparison.hpp"

namespace joywright {
namespace {

TEST(ParseVersion, ReadsDotSeparatedIntegers) {
    struct Case {
        std::string_view text;
        std::optional<std::vector<std::int64_t>> parts;
    };
    const Case cases[] = {
        {"1.4.2", std::vector<std::int64_t>{1, 4, 2}},
        {"10", std::vector<std::int64_t>{10}},
        {"1.10", std::vector<std::int64_t>{1, 10}},
        {"+1.-2", std::vector<std::int64_t>{1, -2}},
        {"007.0", std::vector<std::int64_t>{7, 0}},
        {"9223372036854775807", std::vector<std::int64_t>{9223372036854775807}},
        {"-9223372036854775808", std::vector<std::int64_t>{INT64_MIN}},
        {"9223372036854775808", std::nullopt},  // past 64 bits
        {"", std::nullopt},
        {"1..2", std::nullopt},
        {"1.", std::nullopt},
        {".1", std::nullopt},
        {"1.3b", std::nullopt},
        {"1.3 (45)", std::nullopt},
        {" 1.3", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {"1.+", std::nullopt},
        {"v1.2", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + std::string(c.text) + "\"");
        EXPECT_EQ(parseVersion(c.text), c.parts);
    }
}

TEST(IsNewerVersion, ComparesPositionByPositionWithMissingAsZero) {
    struct Case {
        std::string_view remote;
        std::string_view local;
        bool newer;
    };
    constexpr Case cases[] = {
        {"1.10", "1.9", true},      {"1.9", "1.10", false}, {"1.2", "1.2.0", false},
        {"1.2.0", "1.2", false},    {"1.2.1", "1.2", true}, {"2.0", "10.0", false},
        {"10.0", "2.0", true},      {"1.2", "1.2", false},  {"1.3b", "1.2", false},
        {"1.4", "1.3 (45)", false}, {"", "1.0", false},     {"1.0", "", false},
        {"2", "1.99.99", true},     {"1.0.0.1", "1", true}, {"0.9", "1", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.remote) + " vs " + std::string(c.local));
        EXPECT_EQ(isNewerVersion(c.remote, c.local), c.newer);
    }
}

}  // namespace
}  // namespace joywright

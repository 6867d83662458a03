#include "app/UpdateSource.hpp"

#include <gtest/gtest.h>

namespace joywright {
namespace {

TEST(DecodeLookupResponse, GivesTheFirstResultWhateverTheCount) {
    struct Case {
        const char* what;
        const char* body;
        std::optional<AppStoreRelease> release;
    };
    const Case cases[] = {
        {"two results",
         R"({"resultCount": 2, "extra": true, "results": [
             {"version": "1.4.2", "trackViewUrl": "https://example.com/app", "price": 0},
             {"version": "1.3.0", "trackViewUrl": "https://example.com/old"}]})",
         AppStoreRelease{"1.4.2", "https://example.com/app"}},
        {"no results", R"({"resultCount": 0, "results": []})", std::nullopt},
        {"count of none",
         R"({"resultCount": 0, "results": [{"version": "2.0", "trackViewUrl": "u"}]})",
         AppStoreRelease{"2.0", "u"}},
        {"whole float count", R"({"resultCount": 1.0, "results": []})", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto release = decodeLookupResponse(c.body);
        ASSERT_TRUE(release) << release.error();
        EXPECT_EQ(*release, c.release);
    }
}

struct BadBody {
    const char* what;
    const char* body;
    const char* reason;
};

TEST(DecodeLookupResponse, ABodyThatDoesNotDecodeSaysWhy) {
    const BadBody cases[] = {
        {"empty", "", "The response is not valid JSON"},
        {"html", "<html>Not Found</html>", "The response is not valid JSON"},
        {"truncated", R"({"resultCount": 1, "results": [)", "The response is not valid JSON"},
        {"list", "[]", "The response is not a JSON object"},
        {"no count", R"({"results": []})", "The response has no \"resultCount\""},
        {"text count", R"({"resultCount": "1", "results": []})",
         "\"resultCount\" is not an integer"},
        {"fractional count", R"({"resultCount": 1.5, "results": []})",
         "\"resultCount\" is not an integer"},
        {"no results", R"({"resultCount": 0})", "The response has no \"results\""},
        {"results object", R"({"resultCount": 0, "results": {}})", "\"results\" is not a list"},
        {"result not object", R"({"resultCount": 1, "results": [1]})",
         "results[0] is not an object"},
        {"no version", R"({"resultCount": 1, "results": [{"trackViewUrl": "u"}]})",
         "results[0] has no \"version\""},
        {"numeric version",
         R"({"resultCount": 1, "results": [{"version": 2, "trackViewUrl": "u"}]})",
         "results[0].version is not text"},
        {"later result broken",
         R"({"resultCount": 2, "results": [{"version": "2", "trackViewUrl": "u"}, {"version": "1"}]})",
         "results[1] has no \"trackViewUrl\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto release = decodeLookupResponse(c.body);
        ASSERT_FALSE(release);
        EXPECT_EQ(release.error(), c.reason);
    }
}

}  // namespace
}  // namespace joywright

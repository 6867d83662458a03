#include <gtest/gtest.h>

#include <limits>

#include "support/JsonWriter.hpp"

namespace joywright {
namespace {

using nlohmann::json;

TEST(JsonWriter, PrettyPrintsWithSortedKeysAndCompactEmptyContainers) {
    const auto value = json::parse(R"({"b":[1,{"z":null,"a":true}],"a":{},"c":[],"é":"x","Z":-2})");
    EXPECT_EQ(writePrettyJson(value), R"({
  "Z": -2,
  "a": {},
  "b": [
    1,
    {
      "a": true,
      "z": null
    }
  ],
  "c": [],
  "é": "x"
}
)");
    EXPECT_EQ(writePrettyJson(json::array()), "[]\n");
    EXPECT_EQ(writePrettyJson("text"), "\"text\"\n");
}

TEST(JsonWriter, NumbersKeepTheirValueInTheShortestText) {
    struct Case {
        json value;
        std::string_view text;
    };
    const Case kCases[] = {
        {json(800.0), "800"},
        {json(static_cast<double>(1234.6f)), "1234.6"},  // a float widened to double
        {json(1234.6), "1234.6"},
        {json(0.1), "0.1"},
        {json(1e300), "1e+300"},
        {json(-0.0), "-0"},
        {json(std::numeric_limits<double>::quiet_NaN()), "null"},
        {json(std::numeric_limits<double>::infinity()), "null"},
        {json(std::numeric_limits<std::uint64_t>::max()), "18446744073709551615"},
        {json(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.text));
        EXPECT_EQ(writePrettyJson(c.value), std::string(c.text) + "\n");
    }
}

TEST(JsonWriter, StringsAreEscapedAndAlwaysValidUtf8) {
    std::string out;
    appendJsonString(out, "q\" b\\ /\b\f\n\r\t\x01\x1f\x7f é\xFF");
    EXPECT_EQ(out, "\"q\\\" b\\\\ /\\b\\f\\n\\r\\t\\u0001\\u001f\x7f é\uFFFD\"");
    out.clear();
    appendJsonString(out, "\xE2\x82");  // a sequence cut short
    EXPECT_EQ(out, "\"\uFFFD\uFFFD\"");
}

TEST(JsonWriter, DeepNestingIsIndentedLevelByLevel) {
    json value = json::array();
    for (int i = 0; i < 3000; ++i)
        value = json::array({std::move(value)});
    const auto text = writePrettyJson(value);
    EXPECT_TRUE(text.starts_with("[\n  [\n    [\n"));
    EXPECT_TRUE(text.ends_with("\n    ]\n  ]\n]\n"));
    EXPECT_NE(text.find("\n" + std::string(6000, ' ') + "[]\n"), std::string::npos);
}

}  // namespace
}  // namespace joywright

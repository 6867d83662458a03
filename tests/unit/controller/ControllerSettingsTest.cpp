#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>

#include "controller/ControllerDisplayInfo.hpp"
#include "controller/ControllerSettings.hpp"
#include "fakes/FakeGamepad.hpp"

namespace joywright {
namespace {

TEST(ControllerDisplayInfo, NamesAndKeysTheControllerByVendorAndCategoryWhateverItsBattery) {
    FakeGamepad gamepad;
    gamepad.setController(ControllerDescription{
        .vendorName = "Sony", .productCategory = "DualSense", .batteryLevel = 0.75f});
    const ControllerDisplayInfo sony = controllerDisplayInfo(gamepad);
    EXPECT_EQ(sony,
              (ControllerDisplayInfo{
                  .vendorName = "Sony", .productCategory = "DualSense", .batteryLevel = 0.75f}));
    EXPECT_EQ(sony.displayName(), "Sony (DualSense)");
    EXPECT_EQ(settingsKey(sony), "Sony/DualSense");
    gamepad.setBatteryLevel(std::nullopt);  // wired
    EXPECT_EQ(controllerDisplayInfo(gamepad),
              (ControllerDisplayInfo{.vendorName = "Sony", .productCategory = "DualSense"}));

    const ControllerDisplayInfo anonymous{.productCategory = "Gamepad"};
    EXPECT_EQ(anonymous.displayName(), "Gamepad");
    EXPECT_EQ(settingsKey(anonymous), "/Gamepad");
    gamepad.setController(std::nullopt);
    EXPECT_EQ(controllerDisplayInfo(gamepad), ControllerDisplayInfo{.productCategory = "Unknown"});
}

TEST(ControllerSettings, DefaultsAndLookupByKey) {
    EXPECT_EQ(ControllerSettings{}.deadZone, 0.05f);
    EXPECT_TRUE(ControllerSettings{}.calibration.isZero());

    const ControllerSettings stored{.deadZone = 0.12f,
                                    .calibration = {.left = {.x = 0.02f, .y = 0.01f}}};
    const ControllerSettingsDictionary dictionary{{"Sony/DualSense", stored}};
    // Two identical controllers share one entry, whatever their batteries say.
    EXPECT_EQ(
        settingsFor(dictionary,
                    {.vendorName = "Sony", .productCategory = "DualSense", .batteryLevel = 0.2f}),
        stored);
    EXPECT_EQ(settingsFor(dictionary, {.productCategory = "DualSense"}), ControllerSettings{});
}

TEST(ControllerSettings, DeadZoneIsConstrainedToTheSlidersSteps) {
    struct Case {
        float given, allowed;
    };
    constexpr Case cases[] = {
        {0.05f, 0.05f}, {0.081f, 0.08f},
        {0.0f, 0.0f},   {-0.2f, 0.0f},
        {0.5f, 0.5f},   {0.7f, 0.5f},
        {0.499f, 0.5f}, {std::numeric_limits<float>::quiet_NaN(), 0.05f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.given);
        EXPECT_EQ(constrainedDeadZone(c.given), c.allowed);
    }
}

TEST(ControllerSettingsJson, RoundTripsTheWholeDictionaryWithShortNumbers) {
    const ControllerSettingsDictionary dictionary{
        {"/Gamepad", {}},
        {"Sony/DualSense",
         {.deadZone = 0.08f,
          .calibration = {.left = {.x = 0.02f, .y = -0.01f}, .right = {.x = 0.1f, .y = 0.3f}}}},
    };
    const auto encoded = encodeControllerSettings(dictionary);
    ASSERT_TRUE(encoded) << encoded.error();
    EXPECT_EQ(*encoded,
              R"({"/Gamepad":{"calibration":{"left":{"x":0.0,"y":0.0},"right":{"x":0.0,"y":0.0}},)"
              R"("deadZone":0.05},"Sony/DualSense":{"calibration":{"left":{"x":0.02,"y":-0.01},)"
              R"("right":{"x":0.1,"y":0.3}},"deadZone":0.08}})");
    const auto decoded = decodeControllerSettings(*encoded);
    ASSERT_TRUE(decoded) << decoded.error();
    EXPECT_EQ(*decoded, dictionary);

    EXPECT_EQ(*encodeControllerSettings({}), "{}");
    EXPECT_TRUE(decodeControllerSettings("{}")->empty());
    // A name the platform reported in broken UTF-8 is still saved.
    EXPECT_TRUE(encodeControllerSettings({{"\xff/Pad", {}}}));
}

TEST(ControllerSettingsJson, AcceptsIntegersAnyMemberOrderAndUnknownMembers) {
    const auto decoded = decodeControllerSettings(
        R"({"V/C": {"extra": true, "calibration": {"right": {"y": 1, "x": 0},
            "left": {"x": 0, "y": 0}}, "deadZone": 0}})");
    ASSERT_TRUE(decoded) << decoded.error();
    EXPECT_EQ(decoded->at("V/C"),
              (ControllerSettings{.deadZone = 0.0f, .calibration = {.right = {.x = 0, .y = 1}}}));
}

TEST(ControllerSettingsJson, AnyMissingOrMistypedMemberFailsTheWholeValueNamingIt) {
    const auto valid = nlohmann::json::parse(R"({"deadZone": 0.05, "calibration":
        {"left": {"x": 0, "y": 0}, "right": {"x": 0, "y": 0}}})");
    const nlohmann::json removed = nlohmann::json::value_t::discarded;
    struct Case {
        const char* member;          // a JSON pointer into the entry
        nlohmann::json replacement;  // `removed`: the member is left out
    };
    const Case cases[] = {
        {"/deadZone", removed},
        {"/calibration", removed},
        {"/calibration/right", removed},
        {"/calibration/left/y", removed},
        {"/calibration/right/x", removed},
        {"/deadZone", "0.05"},
        {"/deadZone", nullptr},
        {"/deadZone", 1e300},
        {"/calibration", nlohmann::json::array()},
        {"", nlohmann::json::array()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.member << " " << c.replacement);
        nlohmann::json bad = valid;
        const nlohmann::json::json_pointer pointer(c.member);
        if (c.replacement.is_discarded()) {
            bad[pointer.parent_pointer()].erase(pointer.back());
        } else {
            bad[pointer] = c.replacement;
        }
        const auto decoded =
            decodeControllerSettings(nlohmann::json{{"Good/Pad", valid}, {"Bad/Pad", bad}}.dump());
        ASSERT_FALSE(decoded);
        // The error names the entry and the member: "calibration.left.y".
        std::string member = *c.member ? c.member + 1 : "";
        std::ranges::replace(member, '/', '.');
        for (const std::string& part : {std::string("Bad/Pad"), member})
            EXPECT_NE(decoded.error().find(part), std::string::npos) << decoded.error();
    }
}

TEST(ControllerSettingsJson, TextThatIsNotAnObjectOfSettingsFails) {
    for (const char* text : {"", "not json", "[]", "42", "{\"a\": 1}", "{\"a\": {}} trailing"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(decodeControllerSettings(text));
    }
}

TEST(ControllerSettingsJson, ValuesJsonCannotHoldAreNotEncoded) {
    ControllerSettingsDictionary dictionary{{"V/C", {}}};
    dictionary["V/C"].calibration.right.y = std::numeric_limits<float>::infinity();
    const auto encoded = encodeControllerSettings(dictionary);
    ASSERT_FALSE(encoded);
    EXPECT_NE(encoded.error().find("V/C"), std::string::npos);
    dictionary["V/C"].calibration.right.y = 0;
    dictionary["V/C"].deadZone = std::nanf("");
    EXPECT_FALSE(encodeControllerSettings(dictionary));
}

}  // namespace
}  // namespace joywright

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "controller/ControllerDisplayInfo.hpp"
#include "controller/ControllerSettings.hpp"
#include "fakes/FakeGamepad.hpp"

namespace joywright {
namespace {

TEST(ControllerDisplayInfo, NamesTheVendorAndCategoryOrTheCategoryAlone) {
    const ControllerDisplayInfo sony{.vendorName = "Sony", .productCategory = "DualSense"};
    EXPECT_EQ(sony.displayName(), "Sony (DualSense)");
    EXPECT_EQ(settingsKey(sony), "Sony/DualSense");

    const ControllerDisplayInfo anonymous{.productCategory = "Gamepad"};
    EXPECT_EQ(anonymous.displayName(), "Gamepad");
    EXPECT_EQ(settingsKey(anonymous), "/Gamepad");
}

TEST(ControllerDisplayInfo, IsBuiltFromTheGamepadsController) {
    FakeGamepad gamepad;
    gamepad.setController(ControllerDescription{.vendorName = "Xbox Wireless Controller",
                                                .productCategory = "Xbox One",
                                                .batteryLevel = 0.75f});
    const ControllerDisplayInfo info = controllerDisplayInfo(gamepad);
    EXPECT_EQ(info, (ControllerDisplayInfo{.vendorName = "Xbox Wireless Controller",
                                           .productCategory = "Xbox One",
                                           .batteryLevel = 0.75f}));

    gamepad.setController(std::nullopt);
    EXPECT_EQ(controllerDisplayInfo(gamepad), ControllerDisplayInfo{.productCategory = "Unknown"});
    EXPECT_EQ(settingsKey(controllerDisplayInfo(gamepad)), "/Unknown");
}

TEST(ControllerDisplayInfo, BatteryDoesNotChangeTheNameOrTheKey) {
    FakeGamepad wired;
    wired.setBatteryLevel(std::nullopt);
    FakeGamepad charged;
    charged.setBatteryLevel(0.5f);
    const auto a = controllerDisplayInfo(wired);
    const auto b = controllerDisplayInfo(charged);
    EXPECT_FALSE(a.batteryLevel.has_value());
    EXPECT_NE(a, b);
    EXPECT_EQ(a.displayName(), b.displayName());
    EXPECT_EQ(settingsKey(a), settingsKey(b));
}

TEST(ControllerSettings, DefaultsAndLookupByKey) {
    const ControllerSettings defaults;
    EXPECT_EQ(defaults.deadZone, 0.05f);
    EXPECT_TRUE(defaults.calibration.isZero());

    const ControllerSettings stored{.deadZone = 0.12f,
                                    .calibration = {.left = {.x = 0.02f, .y = 0.01f}}};
    const ControllerSettingsDictionary dictionary{{"Sony/DualSense", stored}};
    // Two identical controllers share one entry.
    EXPECT_EQ(settingsFor(dictionary, {.vendorName = "Sony", .productCategory = "DualSense"}),
              stored);
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
    const Case cases[] = {
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
}

TEST(ControllerSettingsJson, EmptyDictionaryIsAnEmptyObject) {
    EXPECT_EQ(*encodeControllerSettings({}), "{}");
    EXPECT_TRUE(decodeControllerSettings("{}")->empty());
}

TEST(ControllerSettingsJson, AcceptsIntegersAnyMemberOrderAndUnknownMembers) {
    const auto decoded = decodeControllerSettings(
        R"({"V/C": {"extra": true, "calibration": {"right": {"y": 1, "x": 0},
            "left": {"x": 0, "y": 0}}, "deadZone": 0}})");
    ASSERT_TRUE(decoded) << decoded.error();
    EXPECT_EQ(decoded->at("V/C"),
              (ControllerSettings{.deadZone = 0.0f, .calibration = {.right = {.x = 0, .y = 1}}}));
}

TEST(ControllerSettingsJson, AnyMissingOrMistypedMemberFailsTheWholeValue) {
    const char* valid = R"("Good/Pad": {"deadZone": 0.05, "calibration": {"left": {"x": 0,
        "y": 0}, "right": {"x": 0, "y": 0}}})";
    struct Case {
        const char* entry;
        const char* mentions;
    };
    const Case cases[] = {
        {R"({"calibration": {"left": {"x": 0, "y": 0}, "right": {"x": 0, "y": 0}}})", "deadZone"},
        {R"({"deadZone": 0.05})", "calibration"},
        {R"({"deadZone": 0.05, "calibration": {"left": {"x": 0, "y": 0}}})", "calibration.right"},
        {R"({"deadZone": 0.05, "calibration": {"left": {"x": 0}, "right": {"x": 0, "y": 0}}})",
         "calibration.left.y"},
        {R"({"deadZone": 0.05, "calibration": {"left": {"x": 0, "y": 0}, "right": {"y": 0}}})",
         "calibration.right.x"},
        {R"({"deadZone": "0.05", "calibration": {"left": {"x": 0, "y": 0}, "right": {"x": 0,
            "y": 0}}})",
         "deadZone"},
        {R"({"deadZone": null, "calibration": {"left": {"x": 0, "y": 0}, "right": {"x": 0,
            "y": 0}}})",
         "deadZone"},
        {R"({"deadZone": 1e300, "calibration": {"left": {"x": 0, "y": 0}, "right": {"x": 0,
            "y": 0}}})",
         "deadZone"},
        {R"({"deadZone": 0.05, "calibration": []})", "calibration"},
        {R"([])", "Bad/Pad"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        const std::string json = std::string("{") + valid + R"(, "Bad/Pad": )" + c.entry + "}";
        const auto decoded = decodeControllerSettings(json);
        ASSERT_FALSE(decoded);
        EXPECT_NE(decoded.error().find("Bad/Pad"), std::string::npos) << decoded.error();
        EXPECT_NE(decoded.error().find(c.mentions), std::string::npos) << decoded.error();
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

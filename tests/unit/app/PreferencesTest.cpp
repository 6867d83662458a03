#include <gtest/gtest.h>

#include "app/AutoEnableMode.hpp"
#include "app/Preferences.hpp"
#include "app/UpdateDismissal.hpp"

namespace joywright {
namespace {

const Uuid kId = *Uuid::parse("8E3C1A52-6B1F-7D2E-9A4B-0C1D2E3F4A5B");

TEST(AutoEnableModeJson, WritesTheCanonicalFormAndReadsOnlyValidModes) {
    struct Case {
        std::string_view json;
        std::optional<AutoEnableMode> mode;
        bool canonical = false;  // what the mode is written as
    };
    const Case cases[] = {
        {R"({"type":"none"})", AutoEnableMode::none(), true},
        {R"({"type":"lastUsed"})", AutoEnableMode::lastUsed(), true},
        {R"({"type":"specific","mappingId":"8E3C1A52-6B1F-7D2E-9A4B-0C1D2E3F4A5B"})",
         AutoEnableMode::specific(kId), true},
        {R"({"type":"lastUsed","extra":1})", AutoEnableMode::lastUsed()},
        {R"({"mappingId":"8e3c1a52-6b1f-7d2e-9a4b-0c1d2e3f4a5b","type":"specific"})",
         AutoEnableMode::specific(kId)},
        {R"({"type":"specific"})", std::nullopt},
        {R"({"type":"specific","mappingId":"not a uuid"})", std::nullopt},
        {R"({"type":"specific","mappingId":42})", std::nullopt},
        {R"({"type":"LastUsed"})", std::nullopt},
        {R"({"type":3})", std::nullopt},
        {R"({})", std::nullopt},
        {R"(["none"])", std::nullopt},
        {R"("none")", std::nullopt},
        {R"({"type":"none")", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.json));
        EXPECT_EQ(decodeAutoEnableMode(c.json), c.mode);
        if (c.canonical) {
            EXPECT_EQ(encodeAutoEnableMode(*c.mode), c.json);
        }
    }
}

TEST(UpdateDismissalJson, ReadsAnObjectWithBothMembers) {
    struct Case {
        std::string_view json;
        std::optional<UpdateDismissal> dismissal;
    };
    const Case cases[] = {
        {R"({"version":"1.5","dismissedAt":12.25,"x":0})", UpdateDismissal{"1.5", 12.25}},
        {R"({"version":"1.5"})", std::nullopt},
        {R"({"dismissedAt":1})", std::nullopt},
        {R"({"version":1.5,"dismissedAt":1})", std::nullopt},
        {R"({"version":"1.5","dismissedAt":"yesterday"})", std::nullopt},
        {"null", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.json));
        EXPECT_EQ(decodeUpdateDismissal(c.json), c.dismissal);
    }
}

TEST(UpdateDismissal, ReferenceDateIsTheFirstOf2001) {
    const auto unix2001 = WallClock::time_point(std::chrono::seconds(978307200));
    EXPECT_EQ(secondsSinceReferenceDate(unix2001), 0.0);
    EXPECT_EQ(secondsSinceReferenceDate(unix2001 + std::chrono::milliseconds(1500)), 1.5);
    EXPECT_EQ(secondsSinceReferenceDate(WallClock::time_point{}), -978307200.0);
}

TEST(UpdateDismissal, HidesTheSameVersionForSevenDays) {
    const UpdateDismissal dismissal{.version = "1.5", .dismissedAt = 1000};
    constexpr double day = 86400;
    struct Case {
        std::string_view version;
        double now;
        bool hidden;
    };
    const Case cases[] = {
        {"1.5", 1000 + 6 * day, true},  {"1.6", 1000 + 6 * day, false},
        {"1.5", 1000 + 8 * day, false}, {"1.5", 1000 + 7 * day - 0.001, true},
        {"1.5", 1000 + 7 * day, false}, {"1.5.0", 1000, false},  // text, not value
        {"1.5", 1000 - day, true},                               // a clock set back still hides it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.version) + " at " + std::to_string(c.now));
        EXPECT_EQ(hidesRelease(dismissal, c.version, c.now), c.hidden);
    }
}

TEST(Preferences, NoLastUsedMappingRemovesItsKey) {
    InMemoryPreferencesStore store;
    Preferences preferences(store);
    preferences.setLastUsedMappingId(kId);
    EXPECT_EQ(store.string("lastUsedMappingId"), "8E3C1A52-6B1F-7D2E-9A4B-0C1D2E3F4A5B");
    preferences.setLastUsedMappingId(std::nullopt);
    EXPECT_FALSE(store.value("lastUsedMappingId").has_value());
}

TEST(Preferences, IgnoresValuesOfTheWrongKind) {
    InMemoryPreferencesStore store;
    // JSON kept as text, not data, is not read.
    store.setValue("responseCurve", std::string(R"({"type":"exponential","exponent":3})"));
    store.setValue("autoEnableMode", true);
    store.setValue("lastUsedMappingId", PreferenceData{"8E3C1A52-6B1F-7D2E-9A4B-0C1D2E3F4A5B"});
    store.setValue("controllerSettings", PreferenceData{"{not json"});
    store.setValue("updateDismissal", PreferenceData{"null"});
    Preferences preferences(store);
    EXPECT_EQ(preferences.responseCurve(), std::nullopt);
    EXPECT_EQ(preferences.autoEnableMode(), std::nullopt);
    EXPECT_EQ(preferences.lastUsedMappingId(), std::nullopt);
    EXPECT_EQ(preferences.controllerSettings(), std::nullopt);
    EXPECT_EQ(preferences.updateDismissal(), std::nullopt);
}

}  // namespace
}  // namespace joywright

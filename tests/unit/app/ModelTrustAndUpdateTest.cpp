#include <gtest/gtest.h>

#include "ModelHarness.hpp"
#include "support/Log.hpp"

namespace joywright::test {
namespace {

constexpr double kDay = 86400;

// ---- Trust polling

TEST(TrustPolling, PollsEverySecondUntilAGrantThenEveryTenSeconds) {
    ModelHarness h;
    Model& model = h.launchWith({});
    PropertyLog changes(model);
    const int atCreation = h.trust.asks;
    h.loop.advance(0.0);
    h.loop.advance(10.0);
    EXPECT_EQ(h.trust.asks - atCreation, 11);  // at 0, 1, ..., 10
    EXPECT_FALSE(model.isTrusted());
    EXPECT_TRUE(changes.changes.empty()) << "an unchanging answer notifies nothing";
    h.trust.trusted = true;
    h.loop.advance(1.0);  // seen at 11
    EXPECT_TRUE(model.isTrusted());
    EXPECT_EQ(changes.changes, std::vector<ModelProperty>{ModelProperty::isTrusted});
    const int afterGrant = h.trust.asks;
    h.loop.advance(30.0);
    EXPECT_EQ(h.trust.asks - afterGrant, 3);  // at 21, 31, 41
}

TEST(TrustPolling, ARevocationIsSeenWithinTenSeconds) {
    ModelHarness h;
    h.trust.trusted = true;
    Model& model = h.launchWith({});
    EXPECT_TRUE(model.isTrusted()) << "asked at creation";
    h.loop.advance(0.0);
    h.trust.trusted = false;
    h.loop.advance(9.9);
    EXPECT_TRUE(model.isTrusted());
    h.loop.advance(0.2);
    EXPECT_FALSE(model.isTrusted());
}

TEST(TrustPolling, StopsWithTheModelButNotWithShutdown) {
    ModelHarness h;
    Model& model = h.launchWith({});
    model.shutdown();
    int asks = h.trust.asks;
    h.loop.advance(5.0);
    EXPECT_GT(h.trust.asks, asks);
    h.model.reset();
    asks = h.trust.asks;
    h.loop.advance(60.0);
    EXPECT_EQ(h.trust.asks, asks);
    EXPECT_EQ(h.loop.pendingCount(), 0u);
}

// ---- Update check

struct UpdateCheckTest : ::testing::Test {
    ModelHarness h;
    UpdateCheckTest() { h.localVersion = "1.4"; }
    Model& launch() {
        Model& model = h.launchWith({});
        h.loop.advance(0.0);
        return model;
    }
    static AppStoreRelease release(std::string version) {
        return {std::move(version), "https://example.invalid/app"};
    }
};

TEST_F(UpdateCheckTest, AStoreBuildOrAMissingLocalVersionMakesNoRequest) {
    h.appStoreBuild = true;
    ScopedLogCapture log;
    launch();
    EXPECT_EQ(log->count("Update check skipped: App Store build"), 1u);
    h.appStoreBuild = false;
    h.localVersion.reset();
    launch();
    EXPECT_EQ(h.updates.requests, 0);
}

// What the answer to the lookup announces and logs, against local version 1.4.
TEST(UpdateCheck, OnlyANewerUndismissedReleaseIsAnnounced) {
    struct Case {
        std::optional<std::string_view> offered;
        std::optional<double> dismissedDaysAgo;  // of version 1.5
        std::string_view logLine;                // the one line logged, if any
    };
    const Case cases[] = {
        {"1.10", std::nullopt, "Update available: v1.10 (local: 1.4)"},
        {"1.4.0", std::nullopt, "App is up to date (local: 1.4, App Store: 1.4.0)"},
        {std::nullopt, std::nullopt, ""},
        {"1.5", 6, "Update v1.5 dismissed, skipping"},
        {"1.6", 6, "Update available: v1.6 (local: 1.4)"},
        {"1.5", 8, "Update available: v1.5 (local: 1.4)"},
        {"1.5.0", 0, "Update available: v1.5.0 (local: 1.4)"},  // another text is another release
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.offered.value_or("nothing")) + " offered, dismissed " +
                     (c.dismissedDaysAgo ? std::to_string(*c.dismissedDaysAgo) : "never"));
        ModelHarness h;
        h.localVersion = "1.4";
        if (c.dismissedDaysAgo)
            h.preferences.setValue("updateDismissal",
                                   PreferenceData{encodeUpdateDismissal(
                                       {"1.5", h.wallClock - *c.dismissedDaysAgo * kDay})});
        Model& model = h.launchWith({});
        h.loop.advance(0.0);
        ASSERT_EQ(h.updates.requests, 1);
        PropertyLog changes(model);
        ScopedLogCapture log;
        std::optional<AppStoreRelease> release;
        if (c.offered) release = UpdateCheckTest::release(std::string(*c.offered));
        h.updates.answer(release);
        const bool shown = c.logLine.starts_with("Update available");
        EXPECT_EQ(model.availableUpdate(), shown ? release : std::nullopt);
        EXPECT_EQ(changes.count(ModelProperty::availableUpdate), shown ? 1u : 0u);
        const std::size_t lines = c.logLine.empty() ? 0u : 1u;
        EXPECT_EQ(log->lines().size(), lines);
        EXPECT_EQ(log->count(c.logLine), lines);
    }
}

TEST_F(UpdateCheckTest, DismissingRecordsTheVersionAndTime) {
    Model& model = launch();
    h.updates.answer(release("1.5"));
    h.wallClock = 123456789.5;
    model.dismissUpdate();
    EXPECT_EQ(model.availableUpdate(), std::nullopt);
    EXPECT_EQ(model.updateDismissal(), (UpdateDismissal{"1.5", 123456789.5}));
    EXPECT_EQ(h.preferences.data("updateDismissal")->bytes,
              R"({"version":"1.5","dismissedAt":123456789.5})");

    // Nothing announced: nothing to dismiss.
    const auto writes = h.preferences.writes().size();
    model.dismissUpdate();
    EXPECT_EQ(h.preferences.writes().size(), writes);
}

TEST_F(UpdateCheckTest, ShutdownOrTheModelGoingEndsTheCheckQuietly) {
    h.launchWith({}).shutdown();
    h.loop.advance(1.0);
    EXPECT_EQ(h.updates.requests, 0) << "shut down before the check starts";
    for (const bool destroy : {false, true}) {
        SCOPED_TRACE(destroy ? "model gone" : "shut down");
        Model& model = launch();
        if (destroy)
            h.model.reset();
        else
            model.shutdown();
        ScopedLogCapture log;
        h.updates.answer(release("9.0"));
        if (!destroy) {
            EXPECT_EQ(model.availableUpdate(), std::nullopt);
        }
        EXPECT_TRUE(log->lines().empty());
    }
}

}  // namespace
}  // namespace joywright::test

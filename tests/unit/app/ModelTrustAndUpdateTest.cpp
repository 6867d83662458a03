#include <gtest/gtest.h>

#include "ModelHarness.hpp"
#include "support/Log.hpp"

namespace joywright::test {
namespace {

constexpr double kDay = 86400;

// ---- Trust polling

TEST(TrustPolling, TheStartingAnswerIsTheOneAskedAtCreation) {
    ModelHarness h;
    h.trust.trusted = true;
    Model& model = h.launchWith({});
    EXPECT_TRUE(model.isTrusted());
}

TEST(TrustPolling, AGrantIsSeenWithinASecond) {
    ModelHarness h;
    Model& model = h.launchWith({});
    PropertyLog changes(model);
    h.loop.advance(0.0);
    h.loop.advance(2.5);
    EXPECT_FALSE(model.isTrusted());
    h.trust.trusted = true;
    h.loop.advance(1.0);
    EXPECT_TRUE(model.isTrusted());
    EXPECT_EQ(changes.count(ModelProperty::isTrusted), 1u);
}

TEST(TrustPolling, ARevocationIsSeenWithinTenSeconds) {
    ModelHarness h;
    h.trust.trusted = true;
    Model& model = h.launchWith({});
    h.loop.advance(0.0);
    h.trust.trusted = false;
    h.loop.advance(9.9);
    EXPECT_TRUE(model.isTrusted());
    h.loop.advance(0.2);
    EXPECT_FALSE(model.isTrusted());
}

TEST(TrustPolling, PollsEverySecondWhileUntrustedAndEveryTenOnceTrusted) {
    ModelHarness h;
    h.launchWith({});
    const int atCreation = h.trust.asks;
    h.loop.advance(0.0);
    h.loop.advance(10.0);
    EXPECT_EQ(h.trust.asks - atCreation, 11);  // at 0, 1, ..., 10
    h.trust.trusted = true;
    h.loop.advance(1.0);  // seen at 11
    const int afterGrant = h.trust.asks;
    h.loop.advance(30.0);
    EXPECT_EQ(h.trust.asks - afterGrant, 3);  // at 21, 31, 41
}

TEST(TrustPolling, AnUnchangingAnswerNotifiesNothing) {
    ModelHarness h;
    Model& model = h.launchWith({});
    PropertyLog changes(model);
    h.loop.advance(120.0);
    EXPECT_TRUE(changes.changes.empty());
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

TEST_F(UpdateCheckTest, ANewerReleaseIsAnnounced) {
    ScopedLogCapture log;
    Model& model = launch();
    ASSERT_EQ(h.updates.requests, 1);
    PropertyLog changes(model);
    h.updates.answer(release("1.10"));
    EXPECT_EQ(model.availableUpdate(), release("1.10"));
    EXPECT_EQ(log->count("Update available: v1.10 (local: 1.4)"), 1u);
    EXPECT_EQ(changes.count(ModelProperty::availableUpdate), 1u);
}

TEST_F(UpdateCheckTest, TheSameOrAnOlderReleaseIsUpToDate) {
    ScopedLogCapture log;
    Model& model = launch();
    h.updates.answer(release("1.4.0"));
    EXPECT_EQ(model.availableUpdate(), std::nullopt);
    EXPECT_EQ(log->count("App is up to date (local: 1.4, App Store: 1.4.0)"), 1u);
}

TEST_F(UpdateCheckTest, NoReleaseEndsQuietly) {
    Model& model = launch();
    ScopedLogCapture log;
    h.updates.answer(std::nullopt);
    EXPECT_EQ(model.availableUpdate(), std::nullopt);
    EXPECT_TRUE(log->lines().empty());
}

TEST_F(UpdateCheckTest, AStoreBuildMakesNoRequest) {
    h.appStoreBuild = true;
    ScopedLogCapture log;
    launch();
    EXPECT_EQ(h.updates.requests, 0);
    EXPECT_EQ(log->count("Update check skipped: App Store build"), 1u);
}

TEST_F(UpdateCheckTest, NoSourceOrNoLocalVersionMakesNoRequest) {
    h.localVersion.reset();
    launch();
    EXPECT_EQ(h.updates.requests, 0);
}

TEST(UpdateCheck, ADismissalHidesThatVersionForSevenDays) {
    struct Case {
        std::string_view dismissed;
        double daysAgo;
        std::string_view offered;
        bool shown;
    };
    constexpr Case cases[] = {
        {"1.5", 6, "1.5", false},
        {"1.5", 6, "1.6", true},
        {"1.5", 8, "1.5", true},
        {"1.5", 0, "1.5.0", true},  // another text is another release
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.dismissed) + " " + std::to_string(c.daysAgo) + " days ago, " +
                     std::string(c.offered) + " offered");
        ModelHarness h;
        h.localVersion = "1.4";
        h.preferences.setValue("updateDismissal",
                               PreferenceData{encodeUpdateDismissal(
                                   {std::string(c.dismissed), h.wallClock - c.daysAgo * kDay})});
        ScopedLogCapture log;
        Model& model = h.launchWith({});
        h.loop.advance(0.0);
        h.updates.answer(UpdateCheckTest::release(std::string(c.offered)));
        EXPECT_EQ(model.availableUpdate().has_value(), c.shown);
        EXPECT_EQ(log->count("Update v" + std::string(c.offered) + " dismissed, skipping"),
                  c.shown ? 0u : 1u);
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

TEST_F(UpdateCheckTest, AnAnswerAfterShutdownDoesNothing) {
    Model& model = launch();
    model.shutdown();
    ScopedLogCapture log;
    h.updates.answer(release("9.0"));
    EXPECT_EQ(model.availableUpdate(), std::nullopt);
    EXPECT_TRUE(log->lines().empty());
}

TEST_F(UpdateCheckTest, AnAnswerAfterTheModelIsGoneDoesNothing) {
    launch();
    h.model.reset();
    ScopedLogCapture log;
    h.updates.answer(release("9.0"));
    EXPECT_TRUE(log->lines().empty());
}

TEST_F(UpdateCheckTest, ShutdownBeforeTheCheckStartsMakesNoRequest) {
    Model& model = h.launchWith({});
    model.shutdown();
    h.loop.advance(1.0);
    EXPECT_EQ(h.updates.requests, 0);
}

}  // namespace
}  // namespace joywright::test

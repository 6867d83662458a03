#include <gtest/gtest.h>

#include "ModelHarness.hpp"

namespace joywright::test {
namespace {

TEST(ModelProperty, EveryCaseHasItsFieldName) {
    std::set<std::string_view> names;
    for (std::size_t i = 0; i < kModelPropertyCount; ++i) {
        const ModelProperty property = allModelProperties()[i];
        EXPECT_EQ(static_cast<std::size_t>(property), i);
        EXPECT_NE(name(property), "unknown");
        names.insert(name(property));
    }
    EXPECT_EQ(names.size(), kModelPropertyCount);
    EXPECT_EQ(name(ModelProperty::controllerSettingsDict), "controllerSettingsDict");
}

struct ObservationTest : ::testing::Test {
    ModelHarness h;
    Mapping one = mappingNamed("One");
    Mapping two = mappingNamed("Two");
    void SetUp() override { h.launchWith({one, two}); }
    Model& model() { return *h.model; }
};

// Each user-facing setter notifies its own property once per change and not for an equal write.
TEST_F(ObservationTest, EachSetterNotifiesOncePerActualChange) {
    struct Case {
        ModelProperty property;
        std::function<void(Model&)> write;
    };
    const Uuid id = one.id;
    const std::vector<Case> cases = {
        {ModelProperty::mainWindowIsVisible, [](Model& m) { m.setMainWindowIsVisible(false); }},
        {ModelProperty::appIsFocused, [](Model& m) { m.setAppIsFocused(true); }},
        {ModelProperty::selection,
         [](Model& m) { m.setSelection(SidebarSelection::controller()); }},
        {ModelProperty::selectedInputId,
         [](Model& m) { m.setSelectedInputId(InputName::buttonX); }},
        {ModelProperty::recordOnce, [](Model& m) { m.setRecordOnce(true); }},
        {ModelProperty::useRelativeMouse, [](Model& m) { m.setUseRelativeMouse(true); }},
        {ModelProperty::responseCurve, [](Model& m) { m.setResponseCurve({1.5}); }},
        {ModelProperty::autoEnableMode,
         [](Model& m) { m.setAutoEnableMode(AutoEnableMode::lastUsed()); }},
        {ModelProperty::lastUsedMappingId, [id](Model& m) { m.setLastUsedMappingId(id); }},
        {ModelProperty::autoScan, [](Model& m) { m.setAutoScan(true); }},
        {ModelProperty::showUnassigned, [](Model& m) { m.setShowUnassigned(false); }},
        {ModelProperty::mappings, [two = two](Model& m) { m.setMappings({two}); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(name(c.property)));
        PropertyLog changes(model());
        c.write(model());
        EXPECT_EQ(changes.changes, std::vector<ModelProperty>{c.property});
        changes.clear();
        c.write(model());
        EXPECT_TRUE(changes.changes.empty());
    }
}

TEST_F(ObservationTest, AnEqualWriteStillRunsItsSideEffect) {
    model().setResponseCurve({1.5});
    h.runner.setResponseCurve({3.0});
    const auto writes = h.preferences.writes().size();
    PropertyLog changes(model());
    model().setResponseCurve({1.5});
    EXPECT_TRUE(changes.changes.empty());
    EXPECT_EQ(h.preferences.writes().size(), writes + 1);
    EXPECT_EQ(h.runner.responseCurve(), ResponseCurve{1.5});
}

TEST_F(ObservationTest, AnObserverMayWriteTheModelAndUnsubscribeWhileNotified) {
    std::vector<ModelProperty> seen;
    Model::Subscription second;
    auto first = model().observe([&](ModelProperty p) {
        seen.push_back(p);
        if (p == ModelProperty::showUnassigned) {
            second.reset();
            model().setRecordOnce(true);
        }
    });
    int secondCalls = 0;
    second = model().observe([&](ModelProperty) { ++secondCalls; });
    model().setShowUnassigned(false);
    EXPECT_EQ(seen, (std::vector<ModelProperty>{ModelProperty::showUnassigned,
                                                ModelProperty::recordOnce}));
    EXPECT_EQ(secondCalls, 0);
    EXPECT_TRUE(model().recordOnce());
}

TEST_F(ObservationTest, ASubscriptionMayOutliveTheModel) {
    auto subscription = model().observe([](ModelProperty) {});
    h.model.reset();
    subscription.reset();
    EXPECT_FALSE(subscription);
}

TEST_F(ObservationTest, ObserversSeeAConsistentModel) {
    std::optional<Mapping> seen;
    const Uuid id = two.id;
    auto subscription = model().observe([&](ModelProperty p) {
        if (p == ModelProperty::mappings) seen = model().mapping(id);
    });
    Mapping renamed = two;
    renamed.name = "Renamed";
    model().updateMapping(renamed);
    EXPECT_EQ(seen, renamed);
}

}  // namespace
}  // namespace joywright::test

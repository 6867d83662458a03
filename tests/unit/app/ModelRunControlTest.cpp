#include <gtest/gtest.h>

#include "ModelHarness.hpp"
#include "app/MappingCreation.hpp"
#include "model/DefaultMappings.hpp"
#include "model/MappingDocument.hpp"
#include "support/Log.hpp"

namespace joywright::test {
namespace {

// Two mappings that bind button A to a different key each, and the left stick up to W.
struct RunControlTest : ::testing::Test {
    ModelHarness h;
    Mapping first = mappingNamed("First", {{InputName::buttonA, key(KeyCode::a)},
                                           {InputName::leftThumbstickUp, key(KeyCode::w)}});
    Mapping second = mappingNamed("Second", {{InputName::buttonA, key(KeyCode::b)}});
    Mapping third = mappingNamed("Third");

    void SetUp() override {
        first.leftThumbstickMode = ThumbstickMode::eightWay;
        h.launchWith({first, second, third});
    }
    Model& model() { return *h.model; }
    void tick() { h.display.tick(1.0 / 60); }
};

TEST_F(RunControlTest, WithoutAGamepadNothingStartsOrIsAttached) {
    ScopedLogCapture log;
    PropertyLog changes(model());
    model().startMapping(first);
    model().attachHandlers(first);
    EXPECT_EQ(log->count("Attempted to start mapping with no gamepad connected"), 1u);
    EXPECT_EQ(log->count("No gamepad"), 1u);
    EXPECT_FALSE(model().runState().isRunning());
    EXPECT_FALSE(h.runner.isRunning());
    EXPECT_EQ(model().lastUsedMappingId(), std::nullopt);
    EXPECT_TRUE(changes.changes.empty());
}

TEST_F(RunControlTest, StartingRunsTheMappingsHandlersAndStoppingReleasesEverything) {
    model().gamepadConnected(h.gamepad);
    ScopedLogCapture log;
    model().startMapping(first);
    EXPECT_EQ(log->count("Runner started: First"), 1u);
    EXPECT_EQ(model().runState(), RunState::running(first));
    EXPECT_TRUE(h.runner.isRunning());
    EXPECT_EQ(model().lastUsedMappingId(), first.id);
    h.gamepad->buttonA().press();
    tick();
    h.gamepad->buttonA().release();
    h.gamepad->buttonA().press();
    tick();
    EXPECT_EQ(countTokens(h.synthesizer, "+a("), 2u);
    EXPECT_EQ(countTokens(h.synthesizer, "-a("), 1u);

    model().stopMapping();
    EXPECT_EQ(log->count("Runner stopped"), 1u);
    EXPECT_TRUE(h.synthesizer.nothingHeld()) << h.synthesizer.describeHeld();
    EXPECT_FALSE(h.runner.isRunning());
    EXPECT_EQ(model().runState(), RunState::idle());
    // Stopping again logs nothing; the handlers left installed append nothing.
    model().stopMapping();
    EXPECT_EQ(log->count("Runner stopped"), 1u);
    h.gamepad->buttonA().release();
    h.gamepad->buttonA().press();
    EXPECT_FALSE(h.display.tick(1.0 / 60));
}

TEST_F(RunControlTest, StartingAnotherWhileRunningResetsWithoutStopping) {
    model().gamepadConnected(h.gamepad);
    model().startMapping(first);
    h.gamepad->buttonA().press();
    tick();
    ASSERT_TRUE(holds(h.synthesizer, KeyCode::a));

    ScopedLogCapture log;
    model().startMapping(second);
    EXPECT_EQ(log->count("Runner started: Second"), 1u);
    EXPECT_EQ(log->count("Runner stopped"), 0u);
    // Reset released the old mapping's key; the display link kept running.
    EXPECT_TRUE(h.synthesizer.nothingHeld()) << h.synthesizer.describeHeld();
    EXPECT_TRUE(h.runner.isRunning());
    EXPECT_TRUE(h.display.linkRunning());
    EXPECT_EQ(h.display.linksMade, 1);
    EXPECT_EQ(model().runState(), RunState::running(second));
    EXPECT_EQ(model().lastUsedMappingId(), second.id);

    h.gamepad->buttonA().release();
    h.gamepad->buttonA().press();
    tick();
    EXPECT_EQ(countTokens(h.synthesizer, "+b("), 1u);
    EXPECT_EQ(countTokens(h.synthesizer, "+a("), 1u);
}

TEST_F(RunControlTest, StartingTheSameMappingTwiceWritesLastUsedTwice) {
    model().gamepadConnected(h.gamepad);
    const auto& writes = h.preferences.writes();
    const auto before = std::count(writes.begin(), writes.end(), "lastUsedMappingId");
    model().startMapping(first);
    model().startMapping(first);
    EXPECT_EQ(std::count(writes.begin(), writes.end(), "lastUsedMappingId") - before, 2);
    EXPECT_EQ(h.preferences.string("lastUsedMappingId"), first.id.text());
}

TEST_F(RunControlTest, EditingTheRunningMappingTakesEffectAtTheNextStickReport) {
    model().gamepadConnected(h.gamepad);
    h.focusWithAutoScan();
    model().startMapping(first);
    ASSERT_TRUE(model().autoScan());

    h.gamepad->leftThumbstick().set(0, 1);
    tick();
    EXPECT_EQ(countTokens(h.synthesizer, "+w("), 1u);
    h.gamepad->leftThumbstick().centre();
    tick();

    Mapping edited = first;
    edited.inputs[static_cast<std::size_t>(InputName::leftThumbstickUp)].output = key(KeyCode::e);
    model().updateMapping(edited);
    EXPECT_FALSE(model().autoScan());
    EXPECT_EQ(model().runState(), RunState::running(edited));

    h.gamepad->leftThumbstick().set(0, 1);
    tick();
    EXPECT_EQ(countTokens(h.synthesizer, "+e("), 1u);
    EXPECT_EQ(countTokens(h.synthesizer, "+w("), 1u);
}

TEST_F(RunControlTest, AnUnchangedUpdateIsIgnored) {
    model().gamepadConnected(h.gamepad);
    model().setAutoScan(true);
    model().startMapping(first);
    PropertyLog changes(model());
    model().updateMapping(first);
    model().updateMapping(mappingNamed("Unknown id"));
    EXPECT_TRUE(changes.changes.empty());
    EXPECT_TRUE(model().autoScan());
}

TEST_F(RunControlTest, DeletingTheRunningSelectedMappingStopsAndSelectsThePrevious) {
    model().gamepadConnected(h.gamepad);
    model().setSelection(SidebarSelection::mapping(second.id));
    model().setSelectedInputId(InputName::buttonA);
    model().startMapping(second);

    ScopedLogCapture log;
    model().deleteMapping(second.id);
    EXPECT_EQ(log->count("Runner stopped"), 1u);
    EXPECT_EQ(model().runState(), RunState::idle());
    EXPECT_FALSE(h.runner.isRunning());
    EXPECT_EQ(model().selection(), SidebarSelection::mapping(first.id));
    EXPECT_EQ(model().selectedInputId(), std::nullopt);
    EXPECT_EQ(model().mappings(), (std::vector<Mapping>{first, third}));
    EXPECT_EQ(model().mappingIndex(third.id), 1u);
    EXPECT_EQ(model().mapping(second.id), std::nullopt);
}

TEST_F(RunControlTest, DeletingTheSelectedMappingSelectsThePreviousOrTheNewFirst) {
    model().setSelection(SidebarSelection::mapping(third.id));
    model().deleteMapping(third.id);
    EXPECT_EQ(model().selection(), SidebarSelection::mapping(second.id));
    model().setSelection(SidebarSelection::mapping(first.id));
    model().deleteMapping(first.id);
    EXPECT_EQ(model().selection(), SidebarSelection::mapping(second.id));
    // Any other selection stays, even when the list becomes empty.
    model().setSelection(SidebarSelection::controller());
    model().deleteMapping(second.id);
    model().deleteMapping(second.id);  // already gone: nothing
    EXPECT_EQ(model().selection(), SidebarSelection::controller());
    EXPECT_TRUE(model().mappings().empty());
}

TEST_F(RunControlTest, DeletingTheOnlySelectedMappingAddsAnUntitledOne) {
    model().deleteMapping(first.id);
    model().deleteMapping(third.id);
    model().setSelection(SidebarSelection::mapping(second.id));
    model().deleteMapping(second.id);

    ASSERT_EQ(model().mappings().size(), 1u);
    const Mapping& added = model().mappings().front();
    EXPECT_EQ(added.name, "(Untitled)");
    EXPECT_NE(added.id, second.id);
    EXPECT_EQ(added.inputs, untitledMapping().inputs);
    EXPECT_EQ(model().selection(), SidebarSelection::mapping(added.id));
}

TEST_F(RunControlTest, DeletingTheSpecificAutoEnableTargetTurnsAutoEnableOff) {
    model().setAutoEnableMode(AutoEnableMode::specific(second.id));
    model().deleteMapping(first.id);
    EXPECT_EQ(model().autoEnableMode(), AutoEnableMode::specific(second.id));
    model().deleteMapping(second.id);
    EXPECT_EQ(model().autoEnableMode(), AutoEnableMode::none());
    EXPECT_EQ(h.preferences.data("autoEnableMode")->bytes, R"({"type":"none"})");
}

// Every way of adding a mapping, on the list First, Second, Third with First selected.
TEST_F(RunControlTest, EachWayOfAddingPlacesNamesAndSelectsTheNewMapping) {
    Mapping duplicate = second;
    duplicate.name = "Duplicate";
    const Mapping example = firstPersonShooterMapping();
    struct Case {
        const char* what;
        std::function<Uuid(Model&)> add;
        std::size_t index;
        std::string_view name;
        bool selected;
        const Mapping* sameAs;  // equal to this but for id and name
    };
    const Case cases[] = {
        {"insert after",
         [](Model& m) { return m.insertMapping(mappingNamed("A"), m.mappings()[0].id); }, 1, "A",
         false, nullptr},
        {"insert at the end",
         [](Model& m) { return m.insertMapping(mappingNamed("B"), std::nullopt); }, 3, "B", false,
         nullptr},
        {"insert after an unknown id",
         [](Model& m) { return m.insertMapping(mappingNamed("C"), newMappingID()); }, 3, "C", false,
         nullptr},
        {"append a taken id", [&](Model& m) { return m.appendMapping(duplicate); }, 3, "Duplicate",
         false, &second},
        {"a list repeating an id",
         [&](Model& m) {
             m.setMappings({first, second, third, duplicate});
             return m.mappings()[3].id;
         },
         3, "Duplicate", false, &second},
        {"new after the selection", [](Model& m) { return m.addUntitledMapping(); }, 1,
         "(Untitled)", true, nullptr},
        {"new without a selection",
         [](Model& m) {
             m.setSelection(std::nullopt);
             return m.addUntitledMapping();
         },
         3, "(Untitled)", true, nullptr},
        {"clone", [&](Model& m) { return m.cloneMapping(first.id).value(); }, 1, "First copy", true,
         &first},
        {"blank", [](Model& m) { return m.addBlankMapping(); }, 3, "Untitled mapping", true,
         nullptr},
        {"example", [&](Model& m) { return m.addMapping(example); }, 3, "First-person shooter",
         true, &example},
        {"import", [&](Model& m) { return m.importMapping(writeMappingDocument(second)).value(); },
         3, "Second", true, &second},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Model& m = h.launchWith({first, second, third});
        const Uuid id = c.add(m);
        ASSERT_EQ(m.mappings().size(), 4u);
        for (const auto& old : {first, second, third}) {
            EXPECT_NE(id, old.id);
            EXPECT_EQ(m.mapping(old.id), old);
        }
        EXPECT_EQ(m.mappingIndex(id), c.index);
        EXPECT_EQ(m.mapping(id)->name, c.name);
        EXPECT_EQ(m.selectedMappingId() == id, c.selected);
        if (c.sameAs) {
            Mapping expected = *c.sameAs;
            expected.id = id;
            expected.name = std::string(c.name);
            EXPECT_EQ(m.mapping(id), expected);
        }
    }
    EXPECT_EQ(h.model->cloneMapping(newMappingID()), std::nullopt);
}

TEST_F(RunControlTest, AFailedImportChangesNothing) {
    PropertyLog changes(model());
    const auto imported = model().importMapping("{\"id\": ");
    ASSERT_FALSE(imported.hasValue());
    EXPECT_EQ(imported.error().rfind("Failed to parse JSON: ", 0), 0u) << imported.error();
    EXPECT_TRUE(changes.changes.empty());
    EXPECT_EQ(model().mappings().size(), 3u);
}

TEST_F(RunControlTest, SetOutputChangesTheSelectedMappingAndSelectsTheInput) {
    model().setSelection(std::nullopt);
    model().setOutput(key(KeyCode::x), InputName::buttonB);
    EXPECT_EQ(model().mapping(first.id), first);

    model().setSelection(SidebarSelection::mapping(first.id));
    model().setOutput(key(KeyCode::x), InputName::buttonB);
    EXPECT_EQ(model().mapping(first.id)->output(InputName::buttonB), key(KeyCode::x));
    EXPECT_EQ(model().selectedInputId(), InputName::buttonB);
    EXPECT_EQ(model().mapping(second.id), second);
}

TEST_F(RunControlTest, GlobalSpeedChangesOnlyItsCategoryInTheSelectedMapping) {
    // Moving, continuous scrolling, notched scrolling and a key.
    const auto mixed = [](float move, float scroll) {
        using enum InputName;
        return mappingNamed(
            "Mixed",
            {{buttonA, Output::moveMouse(Direction::left, move)},
             {buttonB, Output::scrollMouse(Direction::up, scroll, ScrollMouseMode::continuous)},
             {buttonX, Output::scrollMouse(Direction::down, 800, ScrollMouseMode::notched)},
             {buttonY, key(KeyCode::y)}});
    };
    const Mapping mapping = mixed(800, 800);
    const Uuid id = model().addMapping(mapping);
    const Uuid other = model().addMapping(mapping);
    model().setSelection(SidebarSelection::mapping(id));
    model().setGlobalSpeed(12, MouseSpeedCategory::scrollMouse);
    EXPECT_EQ(model().mapping(id)->inputs, mixed(800, 12).inputs);
    model().setGlobalSpeed(2500, MouseSpeedCategory::moveMouse);
    EXPECT_EQ(model().mapping(id)->inputs, mixed(2500, 12).inputs);
    EXPECT_EQ(model().mapping(other)->inputs, mapping.inputs);
}

TEST_F(RunControlTest, ModelLessReadsOfAnUnknownIdGiveAnUntitledMapping) {
    const Uuid unknown = newMappingID();
    const Mapping shown = model().mappingOrUntitled(unknown);
    EXPECT_EQ(shown.id, unknown);
    EXPECT_EQ(shown.name, "(Untitled)");
    EXPECT_EQ(model().mappingOrUntitled(first.id), first);
}

TEST_F(RunControlTest, RelativeMouseIsCopiedToTheEngineWithAZeroAccumulator) {
    h.runner.setRelativeMouseAccumulator(Vector{0.5, 0.25});
    model().setUseRelativeMouse(true);
    EXPECT_TRUE(h.runner.useRelativeMouse());
    EXPECT_EQ(h.runner.relativeMouseAccumulator(), Vector{});
    model().setUseRelativeMouse(false);
    EXPECT_FALSE(h.runner.useRelativeMouse());
}

TEST_F(RunControlTest, ShutdownStopsTheEngineOnceAndKeepsTheRunState) {
    model().gamepadConnected(h.gamepad);
    model().startMapping(first);
    h.gamepad->buttonA().press();
    tick();

    ScopedLogCapture log;
    model().shutdown();
    EXPECT_TRUE(h.synthesizer.nothingHeld()) << h.synthesizer.describeHeld();
    EXPECT_FALSE(h.runner.isRunning());
    EXPECT_TRUE(model().runState().isRunning());
    EXPECT_TRUE(model().hasShutDown());
    EXPECT_EQ(log->count("Model shut down"), 1u);

    model().shutdown();
    EXPECT_EQ(log->count("shutdown() already called, skipping"), 1u);
    EXPECT_EQ(log->count("Model shut down"), 1u);
}

}  // namespace
}  // namespace joywright::test

#include <gtest/gtest.h>

#include "ModelHarness.hpp"
#include "app/MappingCreation.hpp"
#include "model/DefaultMappings.hpp"
#include "model/MappingDocument.hpp"
#include "support/Log.hpp"

namespace joywright::test {
namespace {

Output key(KeyCode code) {
    return Output::pressKey(KeyCombo{.key = code, .modifiers = {}});
}

std::size_t countTokens(const RecordingSynthesizer& synthesizer, std::string_view prefix) {
    return static_cast<std::size_t>(
        std::count_if(synthesizer.tokens.begin(), synthesizer.tokens.end(),
                      [&](const std::string& t) { return t.rfind(prefix, 0) == 0; }));
}

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

TEST_F(RunControlTest, StartingWithoutAGamepadChangesNothing) {
    ScopedLogCapture log;
    PropertyLog changes(model());
    model().startMapping(first);
    EXPECT_EQ(log->count("Attempted to start mapping with no gamepad connected"), 1u);
    EXPECT_FALSE(model().runState().isRunning());
    EXPECT_FALSE(h.runner.isRunning());
    EXPECT_EQ(model().lastUsedMappingId(), std::nullopt);
    EXPECT_TRUE(changes.changes.empty());
}

TEST_F(RunControlTest, AttachingWithoutAGamepadInstallsNothing) {
    ScopedLogCapture log;
    model().attachHandlers(first);
    EXPECT_EQ(log->count("No gamepad"), 1u);
}

TEST_F(RunControlTest, StartingRunsTheEngineWithTheMappingsHandlers) {
    model().gamepadConnected(h.gamepad);
    ScopedLogCapture log;
    model().startMapping(first);
    EXPECT_EQ(log->count("Runner started: First"), 1u);
    EXPECT_EQ(model().runState(), RunState::running(first));
    EXPECT_EQ(model().runningMappingId(), first.id);
    EXPECT_TRUE(h.runner.isRunning());
    EXPECT_EQ(model().lastUsedMappingId(), first.id);

    h.gamepad->buttonA().press();
    tick();
    EXPECT_EQ(countTokens(h.synthesizer, "+a("), 1u);
    h.gamepad->buttonA().release();
    tick();
    EXPECT_EQ(countTokens(h.synthesizer, "-a("), 1u);
}

TEST_F(RunControlTest, StartingAnotherWhileRunningResetsWithoutStopping) {
    model().gamepadConnected(h.gamepad);
    model().startMapping(first);
    h.gamepad->buttonA().press();
    tick();
    ASSERT_TRUE(h.synthesizer.heldKeyCodes.contains(static_cast<std::uint16_t>(KeyCode::a)));

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
    const auto before = std::count(h.preferences.writes().begin(), h.preferences.writes().end(),
                                   "lastUsedMappingId");
    model().startMapping(first);
    model().startMapping(first);
    const auto after = std::count(h.preferences.writes().begin(), h.preferences.writes().end(),
                                  "lastUsedMappingId");
    EXPECT_EQ(after - before, 2);
    EXPECT_EQ(h.preferences.string("lastUsedMappingId"), first.id.text());
}

TEST_F(RunControlTest, StoppingReleasesEverythingAndGoesIdle) {
    model().gamepadConnected(h.gamepad);
    model().startMapping(first);
    h.gamepad->buttonA().press();
    tick();

    ScopedLogCapture log;
    model().stopMapping();
    EXPECT_EQ(log->count("Runner stopped"), 1u);
    EXPECT_TRUE(h.synthesizer.nothingHeld()) << h.synthesizer.describeHeld();
    EXPECT_FALSE(h.runner.isRunning());
    EXPECT_EQ(model().runState(), RunState::idle());

    // Stopping again logs nothing; the idle handlers append nothing.
    model().stopMapping();
    EXPECT_EQ(log->count("Runner stopped"), 1u);
    h.gamepad->buttonA().release();
    h.gamepad->buttonA().press();
    EXPECT_FALSE(h.display.tick(1.0 / 60));
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

TEST_F(RunControlTest, DeletingTheFirstSelectedMappingSelectsTheNewFirst) {
    model().setSelection(SidebarSelection::mapping(first.id));
    model().deleteMapping(first.id);
    EXPECT_EQ(model().selection(), SidebarSelection::mapping(second.id));
}

TEST_F(RunControlTest, DeletingAnUnselectedMappingKeepsTheSelection) {
    model().setSelection(SidebarSelection::mapping(third.id));
    model().deleteMapping(first.id);
    EXPECT_EQ(model().selection(), SidebarSelection::mapping(third.id));
    model().setSelection(SidebarSelection::controller());
    model().deleteMapping(third.id);
    EXPECT_EQ(model().selection(), SidebarSelection::controller());
    model().deleteMapping(third.id);  // already gone: nothing
    EXPECT_EQ(model().mappings().size(), 1u);
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

TEST_F(RunControlTest, InsertGoesAfterTheGivenMappingOrAtTheEnd) {
    const Uuid a = model().insertMapping(mappingNamed("A"), first.id);
    const Uuid b = model().insertMapping(mappingNamed("B"), std::nullopt);
    const Uuid c = model().insertMapping(mappingNamed("C"), newMappingID());
    std::vector<std::string> names;
    for (const auto& m : model().mappings())
        names.push_back(m.name);
    EXPECT_EQ(names, (std::vector<std::string>{"First", "A", "Second", "Third", "B", "C"}));
    EXPECT_EQ(model().mappingIndex(a), 1u);
    EXPECT_EQ(model().mappingIndex(b), 4u);
    EXPECT_EQ(model().mappingIndex(c), 5u);
}

TEST_F(RunControlTest, AnAddedMappingWithATakenIdGetsAFreshOne) {
    Mapping duplicate = second;
    duplicate.name = "Duplicate";
    const Uuid id = model().appendMapping(duplicate);
    EXPECT_NE(id, second.id);
    EXPECT_EQ(model().mapping(second.id)->name, "Second");
    EXPECT_EQ(model().mapping(id)->name, "Duplicate");
}

TEST_F(RunControlTest, NewMappingGoesAfterTheSelectionAndIsSelected) {
    model().setSelection(SidebarSelection::mapping(first.id));
    const Uuid id = model().addUntitledMapping();
    EXPECT_EQ(model().mappingIndex(id), 1u);
    EXPECT_EQ(model().mapping(id)->name, "(Untitled)");
    EXPECT_EQ(model().selectedMappingId(), id);

    model().setSelection(std::nullopt);
    const Uuid last = model().addUntitledMapping();
    EXPECT_EQ(model().mappingIndex(last), model().mappings().size() - 1);
}

TEST_F(RunControlTest, CloneGoesRightAfterItsSourceAndIsSelected) {
    const auto id = model().cloneMapping(first.id);
    ASSERT_TRUE(id.has_value());
    EXPECT_EQ(model().mappingIndex(*id), 1u);
    EXPECT_EQ(model().mapping(*id)->name, "First copy");
    EXPECT_EQ(model().mapping(*id)->inputs, first.inputs);
    EXPECT_EQ(model().selectedMappingId(), *id);
    const auto again = model().cloneMapping(*id);
    EXPECT_EQ(model().mapping(*again)->name, "First copy");
    EXPECT_EQ(model().cloneMapping(newMappingID()), std::nullopt);
}

TEST_F(RunControlTest, BlankAndExampleMappingsAreAppendedAndSelected) {
    const Uuid blank = model().addBlankMapping();
    EXPECT_EQ(model().mapping(blank)->name, "Untitled mapping");
    EXPECT_EQ(model().selectedMappingId(), blank);
    const Uuid example1 = model().addMapping(firstPersonShooterMapping());
    const Uuid example2 = model().addMapping(firstPersonShooterMapping());
    EXPECT_NE(example1, example2);
    EXPECT_EQ(model().mappingIndex(example2), 5u);
    EXPECT_EQ(model().mapping(example2)->name, "First-person shooter");
}

TEST_F(RunControlTest, ImportAddsTheDocumentUnderAFreshId) {
    const auto imported = model().importMapping(writeMappingDocument(second));
    ASSERT_TRUE(imported.hasValue()) << imported.error();
    EXPECT_NE(*imported, second.id);
    EXPECT_EQ(model().mapping(*imported)->name, "Second");
    EXPECT_EQ(model().mapping(*imported)->inputs, second.inputs);
    EXPECT_EQ(model().mappings().size(), 4u);
    EXPECT_EQ(model().selectedMappingId(), *imported);
}

TEST_F(RunControlTest, AFailedImportChangesNothing) {
    PropertyLog changes(model());
    const auto array = model().importMapping("[]");
    ASSERT_FALSE(array.hasValue());
    EXPECT_EQ(array.error().rfind("Failed to parse JSON: ", 0), 0u) << array.error();
    const auto garbage = model().importMapping("{\"id\": ");
    ASSERT_FALSE(garbage.hasValue());
    EXPECT_EQ(garbage.error().rfind("Failed to parse JSON: ", 0), 0u) << garbage.error();
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
    const Output moveLeft = Output::moveMouse(Direction::left, 800);
    const Output scrollUp = Output::scrollMouse(Direction::up, 800, ScrollMouseMode::continuous);
    const Output notchDown = Output::scrollMouse(Direction::down, 800, ScrollMouseMode::notched);
    const Mapping mixed = mappingNamed("Mixed", {{InputName::buttonA, moveLeft},
                                                 {InputName::buttonB, scrollUp},
                                                 {InputName::buttonX, notchDown},
                                                 {InputName::buttonY, key(KeyCode::y)}});
    const Uuid id = model().addMapping(mixed);
    const Uuid other = model().addMapping(mixed);
    model().setSelection(SidebarSelection::mapping(id));

    model().setGlobalSpeed(12, MouseSpeedCategory::scrollMouse);
    auto changed = *model().mapping(id);
    EXPECT_EQ(changed.output(InputName::buttonA), moveLeft);
    EXPECT_EQ(changed.output(InputName::buttonB),
              Output::scrollMouse(Direction::up, 12, ScrollMouseMode::continuous));
    EXPECT_EQ(changed.output(InputName::buttonX), notchDown);
    EXPECT_EQ(changed.output(InputName::buttonY), key(KeyCode::y));

    model().setGlobalSpeed(2500, MouseSpeedCategory::moveMouse);
    changed = *model().mapping(id);
    EXPECT_EQ(changed.output(InputName::buttonA), Output::moveMouse(Direction::left, 2500));
    EXPECT_EQ(changed.output(InputName::buttonB),
              Output::scrollMouse(Direction::up, 12, ScrollMouseMode::continuous));
    EXPECT_EQ(model().mapping(other)->inputs, mixed.inputs);
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
    EXPECT_TRUE(h.synthesizer.nothingHeld());
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

#include <gtest/gtest.h>

#include "ModelHarness.hpp"
#include "support/Log.hpp"

namespace joywright::test {
namespace {

Output key(KeyCode code) {
    return Output::pressKey(KeyCombo{.key = code, .modifiers = {}});
}

bool holds(const RecordingSynthesizer& synthesizer, KeyCode code) {
    return synthesizer.heldKeyCodes.contains(static_cast<std::uint16_t>(code));
}

struct ControllerTest : ::testing::Test {
    ModelHarness h;
    Mapping racing =
        mappingNamed("Racing", {{InputName::buttonA, key(KeyCode::a)},
                                {InputName::leftThumbstickUp, key(KeyCode::w)},
                                {InputName::buttonB, Output::clickMouse(MouseButton::left())}});
    Mapping browsing = mappingNamed("Browsing", {{InputName::buttonA, key(KeyCode::b)}});

    void SetUp() override { racing.leftThumbstickMode = ThumbstickMode::eightWay; }
    Model& launch() { return h.launchWith({racing, browsing}); }
    Model& model() { return *h.model; }
    void tick() { h.display.tick(1.0 / 60); }
};

TEST_F(ControllerTest, ConnectSetsTheGamepadAndItsDisplayInfo) {
    launch();
    h.gamepad->setBatteryLevel(0.8f);
    PropertyLog changes(model());
    ScopedLogCapture log;
    model().gamepadConnected(h.gamepad);
    EXPECT_EQ(log->count("Gamepad connected: Gamepad"), 1u);
    EXPECT_EQ(model().gamepad(), h.gamepad);
    ASSERT_TRUE(model().controllerDisplayInfo().has_value());
    EXPECT_EQ(model().controllerDisplayInfo()->vendorName, "Fake Vendor");
    EXPECT_EQ(model().controllerDisplayInfo()->batteryLevel, 0.8f);
    EXPECT_EQ(changes.count(ModelProperty::gamepad), 1u);
    EXPECT_EQ(changes.count(ModelProperty::controllerDisplayInfo), 1u);

    // The same controller again: no change to report.
    changes.clear();
    model().gamepadConnected(h.gamepad);
    EXPECT_TRUE(changes.changes.empty());
}

TEST_F(ControllerTest, AGamepadWithoutAControllerObjectIsUnknown) {
    launch();
    h.gamepad->setController(std::nullopt);
    ScopedLogCapture log;
    model().gamepadConnected(h.gamepad);
    EXPECT_EQ(log->count("Gamepad connected: unknown"), 1u);
    model().gamepadDisconnected(h.gamepad);
    EXPECT_EQ(log->count("Gamepad disconnected: unknown"), 1u);
}

TEST_F(ControllerTest, AutoEnableLastUsedStartsTheStoredMapping) {
    h.preferences.setValue("autoEnableMode", PreferenceData{R"({"type":"lastUsed"})"});
    h.preferences.setValue("lastUsedMappingId", browsing.id.text());
    launch();
    ScopedLogCapture log;
    model().gamepadConnected(h.gamepad);
    EXPECT_EQ(log->count("Runner started: Browsing"), 1u);
    EXPECT_EQ(model().runningMappingId(), browsing.id);
}

TEST_F(ControllerTest, AutoEnableLastUsedWithoutAStoredIdStartsNothing) {
    h.preferences.setValue("autoEnableMode", PreferenceData{R"({"type":"lastUsed"})"});
    launch();
    model().gamepadConnected(h.gamepad);
    EXPECT_FALSE(model().runState().isRunning());
}

TEST_F(ControllerTest, AutoEnableSpecificStartsThatMapping) {
    launch();
    model().setLastUsedMappingId(browsing.id);
    model().setAutoEnableMode(AutoEnableMode::specific(racing.id));
    EXPECT_EQ(model().autoEnableTargetId(), racing.id);
    model().gamepadConnected(h.gamepad);
    EXPECT_EQ(model().runningMappingId(), racing.id);
    EXPECT_EQ(model().lastUsedMappingId(), racing.id);
}

TEST_F(ControllerTest, AutoEnableIgnoresAMissingTargetAndARunningMapping) {
    launch();
    model().setAutoEnableMode(AutoEnableMode::specific(newMappingID()));
    ScopedLogCapture log;
    model().gamepadConnected(h.gamepad);
    EXPECT_FALSE(model().runState().isRunning());
    EXPECT_TRUE(log->lines().size() == 1u) << "only the connect line";

    model().setAutoEnableMode(AutoEnableMode::specific(racing.id));
    model().startMapping(browsing);
    auto other = std::make_shared<FakeGamepad>();
    model().gamepadConnected(other);
    EXPECT_EQ(model().runningMappingId(), browsing.id);
}

TEST_F(ControllerTest, AutoEnableNoneStartsNothing) {
    launch();
    model().setLastUsedMappingId(racing.id);
    EXPECT_EQ(model().autoEnableTargetId(), std::nullopt);
    model().gamepadConnected(h.gamepad);
    EXPECT_FALSE(model().runState().isRunning());
}

TEST_F(ControllerTest, DisconnectingTheActiveControllerStopsTheMapping) {
    h.preferences.setValue("autoEnableMode", PreferenceData{R"({"type":"lastUsed"})"});
    launch();
    model().gamepadConnected(h.gamepad);
    model().startMapping(racing);
    h.gamepad->buttonA().press();
    tick();
    ASSERT_TRUE(holds(h.synthesizer, KeyCode::a));
    model().setRecordOnce(true);

    ScopedLogCapture log;
    model().gamepadDisconnected(h.gamepad);
    EXPECT_EQ(log->count("Gamepad disconnected: Gamepad"), 1u);
    EXPECT_EQ(log->count("Runner stopped"), 1u);
    EXPECT_EQ(model().gamepad(), nullptr);
    EXPECT_EQ(model().controllerDisplayInfo(), std::nullopt);
    EXPECT_FALSE(model().recordOnce());
    EXPECT_EQ(model().runState(), RunState::idle());
    EXPECT_TRUE(h.synthesizer.nothingHeld());

    // Reconnecting auto-enables the last used mapping again.
    model().gamepadConnected(h.gamepad);
    EXPECT_EQ(model().runningMappingId(), racing.id);
}

TEST_F(ControllerTest, DisconnectingAnotherControllerChangesNothing) {
    launch();
    auto other = std::make_shared<FakeGamepad>();
    model().gamepadConnected(h.gamepad);
    model().startMapping(racing);
    PropertyLog changes(model());
    ScopedLogCapture log;
    model().gamepadDisconnected(other);
    model().gamepadDisconnected(nullptr);
    EXPECT_TRUE(changes.changes.empty());
    EXPECT_TRUE(log->lines().empty());
    EXPECT_EQ(model().gamepad(), h.gamepad);
    EXPECT_TRUE(model().runState().isRunning());
}

TEST_F(ControllerTest, TheLatestConnectWinsAndTheMappingMovesWhenStartedAgain) {
    launch();
    model().gamepadConnected(h.gamepad);
    model().startMapping(racing);
    auto second = std::make_shared<FakeGamepad>();
    second->setProductCategory("DualSense");
    model().gamepadConnected(second);
    EXPECT_EQ(model().gamepad(), second);
    EXPECT_EQ(model().controllerDisplayInfo()->productCategory, "DualSense");

    // Until started again the handlers stay on the first controller.
    h.gamepad->buttonA().press();
    tick();
    EXPECT_TRUE(holds(h.synthesizer, KeyCode::a));
    h.gamepad->buttonA().release();
    tick();

    model().startMapping(racing);
    h.gamepad->buttonA().press();
    tick();
    EXPECT_FALSE(holds(h.synthesizer, KeyCode::a)) << "the replaced controller no longer drives";
    second->buttonA().press();
    tick();
    EXPECT_TRUE(holds(h.synthesizer, KeyCode::a));
}

// ---- Controller settings

TEST_F(ControllerTest, DeadZoneChangeTakesEffectAtTheNextStickReport) {
    launch();
    model().gamepadConnected(h.gamepad);
    model().startMapping(racing);
    h.gamepad->leftThumbstick().set(0, 0.07f);
    tick();
    EXPECT_TRUE(holds(h.synthesizer, KeyCode::w)) << "0.07 is outside the default 0.05";
    h.gamepad->leftThumbstick().centre();
    tick();

    const auto info = *model().controllerDisplayInfo();
    ScopedLogCapture log;
    model().updateControllerSettings(ControllerSettings{.deadZone = 0.08f, .calibration = {}},
                                     info);
    EXPECT_EQ(log->count("Runner stopped"), 0u);
    EXPECT_TRUE(h.runner.isRunning());
    EXPECT_EQ(model().currentControllerSettings().deadZone, 0.08f);
    EXPECT_EQ(model().controllerSettingsDict().at("Fake Vendor/Gamepad").deadZone, 0.08f);

    h.gamepad->leftThumbstick().set(0, 0.07f);
    tick();
    EXPECT_FALSE(holds(h.synthesizer, KeyCode::w)) << "0.07 is inside 0.08";
    h.gamepad->leftThumbstick().set(0, 0.2f);
    tick();
    EXPECT_TRUE(holds(h.synthesizer, KeyCode::w));
}

TEST_F(ControllerTest, ControllerSettingsAreSavedWholeAndNotifiedOncePerChange) {
    launch();
    model().gamepadConnected(h.gamepad);
    PropertyLog changes(model());
    const ControllerDisplayInfo other{.vendorName = std::nullopt, .productCategory = "Xbox One"};
    model().updateControllerSettings(ControllerSettings{.deadZone = 0.1f, .calibration = {}},
                                     *model().controllerDisplayInfo());
    model().updateControllerSettings(ControllerSettings{}, other);
    model().updateControllerSettings(ControllerSettings{}, other);
    EXPECT_EQ(changes.count(ModelProperty::controllerSettingsDict), 2u);

    const auto stored = decodeControllerSettings(h.preferences.data("controllerSettings")->bytes);
    ASSERT_TRUE(stored.hasValue());
    EXPECT_EQ(*stored, model().controllerSettingsDict());
    EXPECT_EQ(stored->size(), 2u);
    EXPECT_TRUE(stored->contains("/Xbox One"));
}

TEST_F(ControllerTest, SettingsThatCannotBeEncodedStayInMemoryAndAreLogged) {
    launch();
    model().gamepadConnected(h.gamepad);
    const auto info = *model().controllerDisplayInfo();
    model().updateControllerSettings(ControllerSettings{}, info);
    const auto before = h.preferences.data("controllerSettings");

    ControllerSettings broken;
    broken.calibration.right.y = std::numeric_limits<float>::infinity();
    ScopedLogCapture log;
    model().updateControllerSettings(broken, info);
    EXPECT_TRUE(log->contains("Failed to encode controller settings: "));
    EXPECT_EQ(h.preferences.data("controllerSettings"), before);
    EXPECT_EQ(model().controllerSettingsDict().at(settingsKey(info)), broken);
}

// ---- Input scanner

struct ScannerTest : ControllerTest {
    void SetUp() override {
        ControllerTest::SetUp();
        launch();
        model().gamepadConnected(h.gamepad);
        model().setSelection(SidebarSelection::mapping(racing.id));
    }
    // Presses and releases, then runs the scan tasks.
    void click(FakeGamepadButton& button) {
        button.press();
        button.release();
        h.loop.runPosted();
    }
};

TEST_F(ScannerTest, WithAutoScanOffPressesSelectNothing) {
    model().setAppIsFocused(true);
    EXPECT_FALSE(h.gamepad->hasValueChangedHandler());
    click(h.gamepad->buttonA());
    EXPECT_EQ(model().selectedInputId(), std::nullopt);
}

TEST_F(ScannerTest, WithoutFocusNoHandlerIsInstalled) {
    ScopedLogCapture log;
    model().setAutoScan(true);
    EXPECT_FALSE(h.gamepad->hasValueChangedHandler());
    EXPECT_EQ(log->count("[startScanner] started"), 0u);
    model().setAppIsFocused(true);
    EXPECT_TRUE(h.gamepad->hasValueChangedHandler());
    EXPECT_TRUE(model().isScanning());
    EXPECT_EQ(log->count("[startScanner] started"), 1u);
    model().setAppIsFocused(false);
    EXPECT_FALSE(h.gamepad->hasValueChangedHandler());
    EXPECT_EQ(log->count("Stopping scanner"), 1u);
}

TEST_F(ScannerTest, DpadLeftOnANoopInputBecomesAnEmptyKeyPressAndArmsRecording) {
    h.focusWithAutoScan();
    h.gamepad->dpad().left().press();
    EXPECT_EQ(model().selectedInputId(), std::nullopt) << "the model changes in a main-loop task";
    h.loop.runPosted();
    EXPECT_EQ(model().selectedInputId(), InputName::dpadLeft);
    EXPECT_EQ(model().mapping(racing.id)->output(InputName::dpadLeft),
              Output::pressKey(KeyCombo{}));
    EXPECT_TRUE(model().recordOnce());

    // Releasing centres the pad: nothing is selected by it, recording stays armed.
    h.gamepad->dpad().left().release();
    h.loop.runPosted();
    EXPECT_EQ(model().selectedInputId(), InputName::dpadLeft);
    EXPECT_TRUE(model().recordOnce());
}

TEST_F(ScannerTest, AKeyPressInputArmsRecordingAndAClickInputDoesNot) {
    h.focusWithAutoScan();
    click(h.gamepad->buttonA());
    EXPECT_EQ(model().selectedInputId(), InputName::buttonA);
    EXPECT_TRUE(model().recordOnce());
    EXPECT_EQ(model().mapping(racing.id), racing);

    click(h.gamepad->buttonB());
    EXPECT_EQ(model().selectedInputId(), InputName::buttonB);
    EXPECT_FALSE(model().recordOnce()) << "selecting another input clears recording";
    EXPECT_EQ(model().mapping(racing.id), racing);
}

TEST_F(ScannerTest, SticksNeedHalfDeflection) {
    h.focusWithAutoScan();
    h.gamepad->leftThumbstick().set(0, 0.4f);
    h.loop.runPosted();
    EXPECT_EQ(model().selectedInputId(), std::nullopt);
    h.gamepad->leftThumbstick().set(0, 1);
    h.loop.runPosted();
    EXPECT_EQ(model().selectedInputId(), InputName::leftThumbstickUp);
}

TEST_F(ScannerTest, AnUnknownAliasSelectsNothing) {
    h.focusWithAutoScan();
    h.gamepad->buttonX().setAliases({"Paddle 1"});
    click(h.gamepad->buttonX());
    EXPECT_EQ(model().selectedInputId(), std::nullopt);
}

TEST_F(ScannerTest, OnlyScansWhileAMappingIsSelected) {
    h.focusWithAutoScan();
    model().setSelection(SidebarSelection::controller());
    EXPECT_FALSE(h.gamepad->hasValueChangedHandler());
    click(h.gamepad->buttonA());
    EXPECT_EQ(model().selectedInputId(), std::nullopt);

    // A scan already queued when the selection changes does nothing.
    model().setSelection(SidebarSelection::mapping(racing.id));
    h.gamepad->buttonA().press();
    model().setSelection(std::nullopt);
    h.loop.runPosted();
    EXPECT_EQ(model().selectedInputId(), std::nullopt);
}

TEST_F(ScannerTest, StartingAMappingStopsTheScannerAndStoppingRestartsIt) {
    h.focusWithAutoScan();
    ScopedLogCapture log;
    model().startMapping(racing);
    EXPECT_FALSE(h.gamepad->hasValueChangedHandler());
    EXPECT_EQ(log->count("Stopping scanner"), 1u);
    model().stopMapping();
    EXPECT_TRUE(h.gamepad->hasValueChangedHandler());
    EXPECT_EQ(log->count("[startScanner] started"), 1u);
}

TEST_F(ScannerTest, FocusAndSelectionChangesClearRecording) {
    h.focusWithAutoScan();
    model().setRecordOnce(true);
    model().setSelection(SidebarSelection::mapping(browsing.id));
    EXPECT_FALSE(model().recordOnce());
    model().setRecordOnce(true);
    model().setAppIsFocused(true);
    EXPECT_FALSE(model().recordOnce());
    model().setRecordOnce(true);
    model().setSelectedInputId(InputName::buttonY);
    EXPECT_FALSE(model().recordOnce());
    model().setRecordOnce(true);
    model().setSelectedInputId(InputName::buttonY);
    EXPECT_TRUE(model().recordOnce()) << "an unchanged input keeps recording";
}

TEST_F(ScannerTest, AReplacedControllerNoLongerScans) {
    h.focusWithAutoScan();
    auto second = std::make_shared<FakeGamepad>();
    model().gamepadConnected(second);
    EXPECT_FALSE(h.gamepad->hasValueChangedHandler());
    EXPECT_TRUE(second->hasValueChangedHandler());
    click(h.gamepad->buttonA());
    EXPECT_EQ(model().selectedInputId(), std::nullopt);
    click(second->buttonY());
    EXPECT_EQ(model().selectedInputId(), InputName::buttonY);
}

TEST_F(ScannerTest, AScanQueuedBeforeTheModelIsGoneDoesNothing) {
    h.focusWithAutoScan();
    h.gamepad->buttonA().press();
    h.model.reset();
    EXPECT_FALSE(h.gamepad->hasValueChangedHandler());
    EXPECT_EQ(h.loop.runPosted(), 1u);
}

}  // namespace
}  // namespace joywright::test

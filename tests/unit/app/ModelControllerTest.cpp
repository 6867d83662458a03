#include <gtest/gtest.h>

#include "ModelHarness.hpp"
#include "support/Log.hpp"

namespace joywright::test {
namespace {

// Racing binds button A to A, the left stick up to W and button B to a click; the harness's
// gamepad is connected.
struct ControllerTest : ::testing::Test {
    ModelHarness h;
    Mapping racing =
        mappingNamed("Racing", {{InputName::buttonA, key(KeyCode::a)},
                                {InputName::leftThumbstickUp, key(KeyCode::w)},
                                {InputName::buttonB, Output::clickMouse(MouseButton::left())}});
    Mapping browsing = mappingNamed("Browsing", {{InputName::buttonA, key(KeyCode::b)}});

    void SetUp() override {
        racing.leftThumbstickMode = ThumbstickMode::eightWay;
        h.launchWith({racing, browsing});
        model().gamepadConnected(h.gamepad);
    }
    Model& model() { return *h.model; }
    void tick() { h.display.tick(1.0 / 60); }
};

TEST_F(ControllerTest, ConnectSetsTheGamepadAndItsDisplayInfo) {
    auto pad = std::make_shared<FakeGamepad>();
    pad->setBatteryLevel(0.8f);
    PropertyLog changes(model());
    ScopedLogCapture log;
    model().gamepadConnected(pad);
    EXPECT_EQ(log->count("Gamepad connected: Gamepad"), 1u);
    EXPECT_EQ(model().gamepad(), pad);
    ASSERT_TRUE(model().controllerDisplayInfo().has_value());
    EXPECT_EQ(model().controllerDisplayInfo()->vendorName, "Fake Vendor");
    EXPECT_EQ(model().controllerDisplayInfo()->batteryLevel, 0.8f);
    EXPECT_EQ(changes.count(ModelProperty::gamepad), 1u);
    EXPECT_EQ(changes.count(ModelProperty::controllerDisplayInfo), 1u);
    changes.clear();
    model().gamepadConnected(pad);
    EXPECT_TRUE(changes.changes.empty()) << "the same controller again: no change";

    auto bare = std::make_shared<FakeGamepad>();
    bare->setController(std::nullopt);
    model().gamepadConnected(bare);
    model().gamepadDisconnected(bare);
    EXPECT_EQ(log->count("Gamepad connected: unknown"), 1u);
    EXPECT_EQ(log->count("Gamepad disconnected: unknown"), 1u);
}

// What a controller connecting starts, by auto-enable mode and the last used mapping.
TEST_F(ControllerTest, AutoEnableOnConnectStartsItsTargetWhenItExists) {
    struct Case {
        const char* what;
        AutoEnableMode mode;
        const Mapping* lastUsed;
        const Mapping* started;
    };
    const Case cases[] = {
        {"last used", AutoEnableMode::lastUsed(), &browsing, &browsing},
        {"last used, none stored", AutoEnableMode::lastUsed(), nullptr, nullptr},
        {"specific", AutoEnableMode::specific(racing.id), &browsing, &racing},
        {"specific, deleted", AutoEnableMode::specific(newMappingID()), &browsing, nullptr},
        {"none", AutoEnableMode::none(), &racing, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ModelHarness fresh;
        Model& m = fresh.launchWith({racing, browsing});
        m.setAutoEnableMode(c.mode);
        if (c.lastUsed) m.setLastUsedMappingId(c.lastUsed->id);
        ScopedLogCapture log;
        m.gamepadConnected(fresh.gamepad);
        if (c.started) {
            EXPECT_EQ(m.runningMappingId(), c.started->id);
            EXPECT_EQ(log->count("Runner started: " + c.started->name), 1u);
            EXPECT_EQ(m.lastUsedMappingId(), c.started->id);
        } else {
            EXPECT_FALSE(m.runState().isRunning());
            EXPECT_EQ(log->lines().size(), 1u) << "only the connect line";
        }
    }
}

TEST_F(ControllerTest, AutoEnableLeavesARunningMappingAlone) {
    model().setAutoEnableMode(AutoEnableMode::specific(racing.id));
    model().startMapping(browsing);
    model().gamepadConnected(std::make_shared<FakeGamepad>());
    EXPECT_EQ(model().runningMappingId(), browsing.id);
}

TEST_F(ControllerTest, DisconnectingTheActiveControllerStopsTheMapping) {
    model().setAutoEnableMode(AutoEnableMode::lastUsed());
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
    model().startMapping(racing);
    PropertyLog changes(model());
    ScopedLogCapture log;
    model().gamepadDisconnected(std::make_shared<FakeGamepad>());
    model().gamepadDisconnected(nullptr);
    EXPECT_TRUE(changes.changes.empty());
    EXPECT_TRUE(log->lines().empty());
    EXPECT_EQ(model().gamepad(), h.gamepad);
    EXPECT_TRUE(model().runState().isRunning());
}

TEST_F(ControllerTest, TheLatestConnectWinsAndTheMappingMovesWhenStartedAgain) {
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
    model().startMapping(racing);
    h.gamepad->leftThumbstick().set(0, 0.07f);
    tick();
    EXPECT_TRUE(holds(h.synthesizer, KeyCode::w)) << "0.07 is outside the default 0.05";
    h.gamepad->leftThumbstick().centre();
    tick();

    ScopedLogCapture log;
    model().updateControllerSettings(ControllerSettings{.deadZone = 0.08f, .calibration = {}},
                                     *model().controllerDisplayInfo());
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

TEST_F(ControllerTest, ControllerSettingsAreSavedWholeUnlessTheyCannotBeEncoded) {
    PropertyLog changes(model());
    const ControllerDisplayInfo other{.vendorName = std::nullopt, .productCategory = "Xbox One"};
    model().updateControllerSettings(ControllerSettings{.deadZone = 0.1f, .calibration = {}},
                                     *model().controllerDisplayInfo());
    model().updateControllerSettings(ControllerSettings{}, other);
    model().updateControllerSettings(ControllerSettings{}, other);
    EXPECT_EQ(changes.count(ModelProperty::controllerSettingsDict), 2u) << "once per change";
    const auto before = h.preferences.data("controllerSettings");
    const auto stored = decodeControllerSettings(before->bytes);
    ASSERT_TRUE(stored.hasValue());
    EXPECT_EQ(*stored, model().controllerSettingsDict());
    EXPECT_EQ(stored->size(), 2u);
    EXPECT_TRUE(stored->contains("/Xbox One"));

    // Settings that cannot be encoded stay in memory, are logged, and leave the stored value.
    ControllerSettings broken;
    broken.calibration.right.y = std::numeric_limits<float>::infinity();
    ScopedLogCapture log;
    model().updateControllerSettings(broken, other);
    EXPECT_TRUE(log->contains("Failed to encode controller settings: "));
    EXPECT_EQ(h.preferences.data("controllerSettings"), before);
    EXPECT_EQ(model().controllerSettingsDict().at("/Xbox One"), broken);
}

// ---- Input scanner

// The window focused, auto scan on and Racing selected: the scanner is on.
struct ScannerTest : ControllerTest {
    void SetUp() override {
        ControllerTest::SetUp();
        model().setSelection(SidebarSelection::mapping(racing.id));
        h.focusWithAutoScan();
    }
    // Presses and releases, then runs the scan tasks.
    void click(FakeGamepadButton& button) {
        button.press();
        button.release();
        h.loop.runPosted();
    }
};

// A walk through the events that start and stop the scanner.
TEST_F(ScannerTest, RunsOnlyWhileFocusedWithAutoScanAMappingSelectedAndNoneRunning) {
    const auto scanning = [this] {
        EXPECT_EQ(model().isScanning(), h.gamepad->hasValueChangedHandler());
        return h.gamepad->hasValueChangedHandler();
    };
    ScopedLogCapture log;
    model().setAutoScan(false);
    EXPECT_FALSE(scanning());
    click(h.gamepad->buttonA());
    EXPECT_EQ(model().selectedInputId(), std::nullopt) << "presses select nothing";
    model().setAppIsFocused(false);
    model().setAutoScan(true);
    EXPECT_FALSE(scanning()) << "not focused";
    model().setAppIsFocused(true);
    EXPECT_TRUE(scanning());
    model().setSelection(SidebarSelection::controller());
    EXPECT_FALSE(scanning());
    model().setSelection(SidebarSelection::mapping(browsing.id));
    EXPECT_TRUE(scanning());
    model().setSelection(std::nullopt);
    EXPECT_FALSE(scanning());
    model().setSelection(SidebarSelection::mapping(racing.id));
    model().startMapping(racing);
    EXPECT_FALSE(scanning());
    model().stopMapping();
    EXPECT_TRUE(scanning());
    // Every install and every removal of an installed handler is logged, nothing else.
    EXPECT_EQ(log->count("[startScanner] started"), 4u);
    EXPECT_EQ(log->count("Stopping scanner"), 4u);
    model().gamepadDisconnected(h.gamepad);
    EXPECT_FALSE(scanning());
}

TEST_F(ScannerTest, DpadLeftOnANoopInputBecomesAnEmptyKeyPressAndArmsRecording) {
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
    click(h.gamepad->buttonA());
    EXPECT_EQ(model().selectedInputId(), InputName::buttonA);
    EXPECT_TRUE(model().recordOnce());
    click(h.gamepad->buttonB());
    EXPECT_EQ(model().selectedInputId(), InputName::buttonB);
    EXPECT_FALSE(model().recordOnce()) << "selecting another input clears recording";
    EXPECT_EQ(model().mapping(racing.id), racing);
}

TEST_F(ScannerTest, FocusAndSelectionChangesClearRecording) {
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
    auto second = std::make_shared<FakeGamepad>();
    model().gamepadConnected(second);
    EXPECT_FALSE(h.gamepad->hasValueChangedHandler());
    EXPECT_TRUE(second->hasValueChangedHandler());
    click(h.gamepad->buttonA());
    EXPECT_EQ(model().selectedInputId(), std::nullopt);
    click(second->buttonY());
    EXPECT_EQ(model().selectedInputId(), InputName::buttonY);
}

TEST_F(ScannerTest, AScanQueuedBeforeFocusSelectionOrTheModelIsGoneDoesNothing) {
    h.gamepad->buttonA().press();
    model().setAppIsFocused(false);
    h.loop.runPosted();
    EXPECT_EQ(model().selectedInputId(), std::nullopt) << "focus lost";
    model().setAppIsFocused(true);
    h.gamepad->buttonA().release();
    model().setSelection(std::nullopt);
    h.loop.runPosted();
    EXPECT_EQ(model().selectedInputId(), std::nullopt) << "nothing selected";

    model().setSelection(SidebarSelection::mapping(racing.id));
    h.gamepad->buttonA().press();
    h.model.reset();
    EXPECT_FALSE(h.gamepad->hasValueChangedHandler());
    EXPECT_EQ(h.loop.runPosted(), 1u);
}

}  // namespace
}  // namespace joywright::test

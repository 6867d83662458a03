// Finding controllers and following them, with the application wired as joywright wires it.
#include "AppFixtures.hpp"

namespace joywright::e2e {
namespace {

using namespace std::chrono_literals;

class DiscoveryTest : public AppOnXvfbTest {
protected:
    std::string runningName() {
        const Mapping* running = model().runState().runningMapping();
        return running ? running->name : "";
    }
};

TEST_F(DiscoveryTest, AControllerAttachedBeforeStartIsAdoptedAtOnce) {
    attach("Early Pad");
    launch();
    ASSERT_NE(model().gamepad(), nullptr);
    ASSERT_TRUE(model().controllerDisplayInfo());
    EXPECT_EQ(model().controllerDisplayInfo()->vendorName, "Early Pad");
    EXPECT_EQ(log->count("Gamepad connected: Virtual Controller"), 1u);
    // Nothing starts by itself without an auto-enable choice.
    EXPECT_FALSE(model().runState().isRunning());
}

TEST_F(DiscoveryTest, AControllerAttachedLaterIsConnected) {
    launch();
    runFor(50ms);
    EXPECT_EQ(model().gamepad(), nullptr);
    attach("Late Pad");
    ASSERT_TRUE(runUntil([&] { return model().gamepad() != nullptr; }, 2000ms));
    EXPECT_EQ(model().controllerDisplayInfo()->vendorName, "Late Pad");
}

TEST_F(DiscoveryTest, AutoEnableWithLastUsedStartsTheMappingOnConnect) {
    launch();
    const auto shooter = named("First-person shooter");
    ASSERT_TRUE(shooter);
    model().setAutoEnableMode(AutoEnableMode::lastUsed());
    model().setLastUsedMappingId(shooter->id);
    attach();
    ASSERT_TRUE(runUntil([&] { return model().runState().isRunning(); }, 2000ms));
    EXPECT_EQ(runningName(), "First-person shooter");
    EXPECT_TRUE(app->runner().isRunning());
    // And it drives the server at once.
    pad->setButton(SDL_CONTROLLER_BUTTON_Y, true);
    EXPECT_TRUE(runUntil([&] { return !observer->keysHeld().empty(); }));
    pad->setButton(SDL_CONTROLLER_BUTTON_Y, false);
    EXPECT_TRUE(nothingHeld());
}

TEST_F(DiscoveryTest, AnAutoEnableChoiceFromAnEarlierRunStartsWithAControllerPresentAtLaunch) {
    launch();
    const auto builders = named("Dragon Quest Builders 1");
    ASSERT_TRUE(builders);
    model().setAutoEnableMode(AutoEnableMode::lastUsed());
    model().setLastUsedMappingId(builders->id);
    app.reset();

    attach();
    launch();
    EXPECT_EQ(runningName(), "Dragon Quest Builders 1");
}

TEST_F(DiscoveryTest,
       ControllersAreReadSlowlyWhileIdleFasterWhileScanningAndEveryTickWhileRunning) {
    attach();
    launch();
    ASSERT_NE(app->controllerPump(), nullptr);
    EXPECT_EQ(app->controllerPump()->timerRate(), ControllerPump::kIdleRate);
    start("Web surfing");
    EXPECT_EQ(app->controllerPump()->timerRate(), 0);
    model().stopMapping();
    EXPECT_EQ(app->controllerPump()->timerRate(), ControllerPump::kIdleRate);
    // The input scanner listens to the controller: read faster, so it answers promptly.
    model().setAutoScan(true);
    model().setAppIsFocused(true);
    ASSERT_TRUE(model().isScanning());
    EXPECT_EQ(app->controllerPump()->timerRate(), ControllerPump::kScanningRate);
    model().setAppIsFocused(false);
    EXPECT_EQ(app->controllerPump()->timerRate(), ControllerPump::kIdleRate);
}

TEST(AppWithoutDisplay, StillStartsLogsWhyAndIsNotTrusted) {
    TemporaryDirectory home;
    useDataFoldersIn(home);
    auto log = std::make_shared<CaptureLogSink>();
    JoywrightApp app({.displayName = ":65000",
                      .logSink = log,
                      .checkForUpdates = false,
                      .handleTerminationSignals = false});
    app.start();
    EXPECT_EQ(app.connection(), nullptr);
    EXPECT_FALSE(app.model().isTrusted());
    EXPECT_TRUE(log->contains("Cannot open X display \":65000\""));
    EXPECT_EQ(app.model().mappings().size(), 3u);
    ASSERT_TRUE(app.model().selectedMappingId());
    EXPECT_EQ(*app.model().selectedMappingId(), app.model().mappings()[0].id);
}

}  // namespace
}  // namespace joywright::e2e

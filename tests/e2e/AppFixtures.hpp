#pragma once

#include <stdlib.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "E2eFixtures.hpp"
#include "e2e/support/TemporaryDirectory.hpp"
#include "e2e/support/VirtualController.hpp"
#include "shell/JoywrightApp.hpp"

namespace joywright::e2e {

// Points the application's data and configuration folders into `home` for this process.
inline void useDataFoldersIn(const TemporaryDirectory& home) {
    setenv("XDG_DATA_HOME", (home.path() / "data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home.path() / "config").c_str(), 1);
}

// The whole application in this process on a private Xvfb, as `joywright` wires it (minus the
// signal handling and the update check), with an SDL virtual controller beside it and its log
// captured. The test spins the Qt loop (runUntil) while it waits, which ticks the engine.
class AppOnXvfbTest : public XServerTest {
protected:
    void SetUp() override {
        XServerTest::SetUp();
        if (HasFatalFailure()) return;
        useDataFoldersIn(home);
        observer->setPointerAcceleration(false);
        observer->warpPointer(200, 200);
    }

    void TearDown() override {
        app.reset();
        pad.reset();
    }

    void launch() {
        app = std::make_unique<JoywrightApp>(JoywrightAppOptions{
            .displayName = xvfb->displayName(),
            .logSink = log,
            .checkForUpdates = false,
            .handleTerminationSignals = false,
        });
        app->start();
    }

    Model& model() { return app->model(); }

    // Plugs in the virtual controller.
    void attach(const std::string& name = "E2E Pad") {
        auto attached = VirtualController::attach(name);
        ASSERT_TRUE(attached) << attached.error();
        pad = std::move(attached).value();
    }

    std::optional<Mapping> named(const std::string& name) {
        for (const Mapping& m : model().mappings())
            if (m.name == name) return m;
        return std::nullopt;
    }

    // Waits until the application has the controller, then starts `mapping`.
    void start(const Mapping& mapping) {
        ASSERT_TRUE(runUntil([&] { return model().gamepad() != nullptr; }))
            << "the controller never connected";
        model().startMapping(mapping);
        ASSERT_TRUE(model().runState().isRunning());
    }
    void start(const std::string& name) {
        const auto mapping = named(name);
        ASSERT_TRUE(mapping) << "no mapping named " << name;
        start(*mapping);
    }

    // Spins the loop until the observer has seen exactly `expected` (keys and buttons).
    bool arrive(const std::vector<std::string>& expected) {
        return runUntil([&] {
            observer->poll();
            return observer->tokens() == expected;
        });
    }
    bool nothingHeld() {
        return runUntil([&] { return observer->nothingHeld(); });
    }

    std::shared_ptr<CaptureLogSink> log = std::make_shared<CaptureLogSink>();
    TemporaryDirectory home;
    std::unique_ptr<VirtualController> pad;
    std::unique_ptr<JoywrightApp> app;
};

}  // namespace joywright::e2e

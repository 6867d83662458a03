#include "e2e/support/ControllerScript.hpp"

#include <gtest/gtest.h>

#include "platform/sdl/SdlGamepadService.hpp"

namespace joywright::e2e {
namespace {

TEST(ControllerScript, DrivesAVirtualControllerTheServiceSees) {
    auto created = SdlGamepadService::create();
    ASSERT_TRUE(created) << created.error();
    auto& service = *created.value();
    std::shared_ptr<Gamepad> gamepad;
    bool disconnected = false;
    service.start([&](std::shared_ptr<Gamepad> g) { gamepad = std::move(g); },
                  [&](std::shared_ptr<Gamepad>) { disconnected = true; });

    ControllerScript script;
    EXPECT_EQ(script.run("attach Scripted Pad  "), std::nullopt);
    service.pump();
    ASSERT_NE(gamepad, nullptr);
    EXPECT_EQ(gamepad->controller()->vendorName, "Scripted Pad");

    for (const char* line :
         {"button a 1", "stick left 0 1", "trigger right 0.5", "  # a comment", ""}) {
        SCOPED_TRACE(line);
        EXPECT_EQ(script.run(line), std::nullopt);
    }
    service.pump();
    EXPECT_EQ(gamepad->buttonA().value(), 1.0f);
    EXPECT_EQ(gamepad->leftThumbstick().up().value(), 1.0f);
    EXPECT_NEAR(gamepad->rightTrigger().value(), 0.5f, 0.01f);

    EXPECT_EQ(script.run("detach"), std::nullopt);
    service.pump();
    EXPECT_TRUE(disconnected);
}

TEST(ControllerScript, RefusesWhatItCannotRun) {
    ControllerScript script;
    EXPECT_EQ(script.run("button a 1"), "no controller is attached");
    ASSERT_EQ(script.run("attach"), std::nullopt);
    const std::pair<const char*, const char*> cases[] = {
        {"attach", "a controller is already attached"},
        {"button z 1", "unknown button \"z\""},
        {"button misc1 1", "unknown button \"misc1\""},
        {"button a 2", "a button is 0 or 1"},
        {"stick left 0 up", "a stick takes two numbers"},
        {"stick middle 0 0", "cannot run \"stick middle 0 0\""},
        {"trigger left nan", "a trigger takes a number"},
        {"jump", "cannot run \"jump\""},
    };
    for (const auto& [line, error] : cases) {
        SCOPED_TRACE(line);
        EXPECT_EQ(script.run(line), error);
    }
}

}  // namespace
}  // namespace joywright::e2e

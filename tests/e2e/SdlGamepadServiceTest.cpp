#include "platform/sdl/SdlGamepadService.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "e2e/support/VirtualController.hpp"

namespace joywright::e2e {
namespace {

using Calls = std::vector<std::string>;

std::string number(float v) {
    char text[16];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(v));
    return text;
}

// Follows what the service reports: connects, disconnects and (once watched) element changes.
class SdlGamepadServiceTest : public testing::Test {
protected:
    std::unique_ptr<VirtualController> attach(const std::string& name = "Joywright Virtual Pad") {
        auto pad = VirtualController::attach(name);
        EXPECT_TRUE(pad) << pad.error();
        return pad ? std::move(pad).value() : nullptr;
    }

    void startService() {
        auto created = SdlGamepadService::create();
        ASSERT_TRUE(created) << created.error();
        service = std::move(created).value();
        service->start(
            [this](std::shared_ptr<Gamepad> g) {
                calls.push_back("connected " + g->controller()->vendorName.value_or("?"));
                gamepads.push_back(g);
            },
            [this](std::shared_ptr<Gamepad> g) {
                calls.push_back("disconnected " + g->controller()->vendorName.value_or("?"));
                disconnectedGamepads.push_back(g);
            });
    }

    void watch(Gamepad& gamepad) {
        const auto button = [this](GamepadButton& b, std::string name) {
            b.setValueChangedHandler(
                [this, name](float v) { calls.push_back(name + "=" + number(v)); });
        };
        const auto pad = [this, &button](GamepadDirectionPad& p, const std::string& name) {
            button(p.up(), name + ".up");
            button(p.down(), name + ".down");
            button(p.left(), name + ".left");
            button(p.right(), name + ".right");
            p.setValueChangedHandler([this, name](float x, float y) {
                calls.push_back(name + "(" + number(x) + "," + number(y) + ")");
            });
        };
        pad(gamepad.leftThumbstick(), "leftStick");
        pad(gamepad.rightThumbstick(), "rightStick");
        pad(gamepad.dpad(), "dpad");
        button(gamepad.buttonA(), "A");
        button(*gamepad.buttonHome(), "home");
        button(gamepad.leftTrigger(), "leftTrigger");
        gamepad.setValueChangedHandler([this](Gamepad&, GamepadElement& element) {
            calls.push_back("gamepad:" + element.aliases()[0]);
        });
    }

    // Pumps and returns what was reported since the last call.
    Calls pumped() {
        calls.clear();
        service->pump();
        return calls;
    }

    std::unique_ptr<SdlGamepadService> service;
    Calls calls;
    std::vector<std::shared_ptr<Gamepad>> gamepads;
    std::vector<std::shared_ptr<Gamepad>> disconnectedGamepads;
};

TEST_F(SdlGamepadServiceTest, AdoptsAndDescribesTheFirstControllerAtStartWithoutANotification) {
    auto first = attach("First Pad");
    auto second = attach("Second Pad");
    startService();
    EXPECT_EQ(calls, (Calls{"connected First Pad"}));
    // Controllers present at start are not announced again, nor is the second adopted.
    EXPECT_EQ(pumped(), Calls{});
    EXPECT_EQ(service->openCount(), 1u);

    const auto description = gamepads.at(0)->controller();
    ASSERT_TRUE(description);
    EXPECT_EQ(description->vendorName, "First Pad");
    EXPECT_EQ(description->productCategory, "Virtual Controller");
    EXPECT_EQ(description->batteryLevel, std::nullopt);
    // A standard controller has every optional element.
    EXPECT_NE(gamepads[0]->buttonHome(), nullptr);
    EXPECT_NE(gamepads[0]->buttonOptions(), nullptr);
    EXPECT_NE(gamepads[0]->leftThumbstickButton(), nullptr);
    EXPECT_NE(gamepads[0]->rightThumbstickButton(), nullptr);
}

TEST_F(SdlGamepadServiceTest, ReportsLaterConnectsAndDisconnectsInOrderButNotOnesGoneUnseen) {
    startService();
    attach("Brief Pad")->detach();  // gone before the next pump
    EXPECT_EQ(pumped(), Calls{});
    EXPECT_EQ(service->openCount(), 0u);

    auto pad = attach("Later Pad");
    EXPECT_EQ(pumped(), (Calls{"connected Later Pad"}));
    ASSERT_EQ(gamepads.size(), 1u);

    auto other = attach("Other Pad");
    EXPECT_EQ(pumped(), (Calls{"connected Other Pad"}));
    pad->detach();
    other->detach();
    EXPECT_EQ(pumped(), (Calls{"disconnected Later Pad", "disconnected Other Pad"}));
    ASSERT_EQ(disconnectedGamepads.size(), 2u);
    EXPECT_EQ(disconnectedGamepads[0], gamepads[0]);  // the very object handed out at connect
    EXPECT_EQ(service->openCount(), 0u);
}

using Change = std::function<void(VirtualController&)>;
Change press(SDL_GameControllerButton button, bool down = true) {
    return [=](VirtualController& pad) { pad.setButton(button, down); };
}
Change stick(VirtualController::Stick which, float x, float y) {
    return [=](VirtualController& pad) { pad.setStick(which, x, y); };
}
Change trigger(float value) {
    return [=](VirtualController& pad) { pad.setTrigger(SDL_CONTROLLER_AXIS_TRIGGERLEFT, value); };
}

struct ElementCase {
    const char* what;
    Change change;
    Calls calls;
};

// Changes made one after another (earlier ones stay held); each element fires its own handler,
// then the gamepad's, once per actual change.
TEST_F(SdlGamepadServiceTest, EachElementFiresItsHandlerThenTheGamepadsOncePerChange) {
    using enum VirtualController::Stick;
    const ElementCase cases[] = {
        {"A down", press(SDL_CONTROLLER_BUTTON_A), {"A=1.00", "gamepad:Button A"}},
        {"A up", press(SDL_CONTROLLER_BUTTON_A, false), {"A=0.00", "gamepad:Button A"}},
        {"guide", press(SDL_CONTROLLER_BUTTON_GUIDE), {"home=1.00", "gamepad:Button Home"}},
        {"D-pad left",
         press(SDL_CONTROLLER_BUTTON_DPAD_LEFT),
         {"dpad.left=1.00", "dpad(-1.00,0.00)", "gamepad:Direction Pad"}},
        // Up is positive; a diagonal is one change of the stick.
        {"left stick down-left",
         stick(left, -0.5f, -1),
         {"leftStick.down=1.00", "leftStick.left=0.50", "leftStick(-0.50,-1.00)",
          "gamepad:Left Thumbstick"}},
        {"left stick up",
         stick(left, 0, 1),
         {"leftStick.up=1.00", "leftStick.down=0.00", "leftStick.left=0.00", "leftStick(0.00,1.00)",
          "gamepad:Left Thumbstick"}},
        {"right stick right",
         stick(right, 1, 0),
         {"rightStick.right=1.00", "rightStick(1.00,0.00)", "gamepad:Right Thumbstick"}},
        {"trigger half", trigger(0.5f), {"leftTrigger=0.50", "gamepad:Left Trigger"}},
    };
    auto pad = attach();
    startService();
    Gamepad& gamepad = *gamepads.at(0);
    watch(gamepad);
    for (const ElementCase& c : cases) {
        SCOPED_TRACE(c.what);
        c.change(*pad);
        EXPECT_EQ(pumped(), c.calls);
    }
    EXPECT_EQ(gamepad.leftThumbstick().yAxis(), 1.0f);
    EXPECT_NEAR(gamepad.leftTrigger().value(), 0.5f, 0.01f);
}

TEST_F(SdlGamepadServiceTest, UnpluggingReleasesHeldElementsBeforeTheDisconnect) {
    auto pad = attach("Held Pad");
    startService();
    watch(*gamepads.at(0));
    pad->setButton(SDL_CONTROLLER_BUTTON_A, true);
    pad->setStick(VirtualController::Stick::right, 1, 0);
    service->pump();

    pad->detach();
    EXPECT_EQ(pumped(),
              (Calls{"rightStick.right=0.00", "rightStick(0.00,0.00)", "gamepad:Right Thumbstick",
                     "A=0.00", "gamepad:Button A", "disconnected Held Pad"}));
    // The gamepad stays a valid object, quiet from now on.
    EXPECT_EQ(gamepads[0]->buttonA().value(), 0.0f);
    EXPECT_EQ(pumped(), Calls{});
}

TEST_F(SdlGamepadServiceTest, StateAtConnectionIsTakenWithoutFiring) {
    startService();
    auto pad = attach();
    pad->setButton(SDL_CONTROLLER_BUTTON_B, true);
    EXPECT_EQ(pumped(), (Calls{"connected Joywright Virtual Pad"}));
    watch(*gamepads.at(0));
    EXPECT_EQ(pumped(), Calls{});
    EXPECT_EQ(gamepads[0]->buttonB().value(), 1.0f);
}

TEST_F(SdlGamepadServiceTest, JoysticksThatAreNotGameControllersAreIgnored) {
    startService();
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_FLIGHT_STICK;
    desc.naxes = 3;
    desc.nbuttons = 2;
    desc.name = "Flight Stick";
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    ASSERT_GE(index, 0) << SDL_GetError();
    if (SDL_IsGameController(index) == SDL_TRUE)
        GTEST_SKIP() << "SDL maps this stick as a controller";
    EXPECT_EQ(pumped(), Calls{});
    SDL_JoystickDetachVirtual(index);
    EXPECT_EQ(pumped(), Calls{});
}

TEST_F(SdlGamepadServiceTest, PumpingBeforeStartOrFromACallbackDoesNothing) {
    auto created = SdlGamepadService::create();
    ASSERT_TRUE(created);
    service = std::move(created).value();
    service->pump();  // not started: nothing to deliver to
    int nested = 0;
    auto pad = attach();
    service->start(
        [&](std::shared_ptr<Gamepad>) {
            ++nested;
            service->pump();
        },
        [](std::shared_ptr<Gamepad>) {});
    EXPECT_EQ(nested, 1);
}

}  // namespace
}  // namespace joywright::e2e

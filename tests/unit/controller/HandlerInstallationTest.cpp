#include <gtest/gtest.h>

#include "InstructionText.hpp"
#include "TestMapping.hpp"
#include "controller/ControllerSettings.hpp"
#include "controller/HandlerInstallation.hpp"
#include "fakes/FakeGamepad.hpp"

namespace joywright {
namespace {

using enum InputName;
using test::drained;
using test::key;
using test::mappingWith;

class HandlerInstallationTest : public ::testing::Test {
protected:
    HandlerInstallationTest() { frame.setListening(true); }

    void install(const Mapping& mapping) { installHandlers(gamepad, mapping, {}, frame); }

    FakeGamepad gamepad;
    Frame frame;
};

TEST_F(HandlerInstallationTest, EveryBindableButtonDrivesItsOwnInput) {
    struct Case {
        InputName input;
        FakeGamepadButton& (*element)(FakeGamepad&);
        KeyCode code;
    };
    const Case cases[] = {
        {leftThumbstickButton, [](FakeGamepad & g) -> auto& {return *g.leftThumbstickButton();
}
, KeyCode::one
}  // namespace
, {leftShoulder, [](FakeGamepad& g) -> auto& {return g.leftShoulder();
}  // namespace joywright
, KeyCode::two
}
, {leftTrigger, [](FakeGamepad& g) -> auto& {return g.leftTrigger();
}
, KeyCode::three
}
, {rightThumbstickButton, [](FakeGamepad& g) -> auto& {return *g.rightThumbstickButton();
}
, KeyCode::four
}
, {rightShoulder, [](FakeGamepad& g) -> auto& {return g.rightShoulder();
}
, KeyCode::five
}
, {rightTrigger, [](FakeGamepad& g) -> auto& {return g.rightTrigger();
}
, KeyCode::six
}
, {buttonA, [](FakeGamepad& g) -> auto& {return g.buttonA();
}
, KeyCode::a
}
, {buttonB, [](FakeGamepad& g) -> auto& {return g.buttonB();
}
, KeyCode::b
}
, {buttonX, [](FakeGamepad& g) -> auto& {return g.buttonX();
}
, KeyCode::x
}
, {buttonY, [](FakeGamepad& g) -> auto& {return g.buttonY();
}
, KeyCode::y
}
, {buttonStart, [](FakeGamepad& g) -> auto& {return g.buttonMenu();
}
, KeyCode::m
}
, {buttonSelect, [](FakeGamepad& g) -> auto& {return *g.buttonOptions();
}
, KeyCode::o
}
, {buttonHome, [](FakeGamepad& g) -> auto& {return *g.buttonHome();
}
, KeyCode::h
}
, {dpadUp, [](FakeGamepad& g) -> auto& {return g.dpad().up();
}
, KeyCode::upArrow
}
, {dpadDown, [](FakeGamepad& g) -> auto& {return g.dpad().down();
}
, KeyCode::downArrow
}
, {dpadLeft, [](FakeGamepad& g) -> auto& {return g.dpad().left();
}
, KeyCode::leftArrow
}
, {dpadRight, [](FakeGamepad& g) -> auto& {return g.dpad().right();
}
, KeyCode::rightArrow
}
,
}
;
Mapping mapping = mappingWith({});
for (const auto& c : cases)
    mapping.inputs.push_back({c.input, key(c.code)});
install(mapping);
for (const auto& c : cases) {
    SCOPED_TRACE(title(c.input));
    c.element(gamepad).press();
    c.element(gamepad).release();
    const std::string name(caseName(c.code));
    EXPECT_EQ(drained(frame), "+" + name + " -" + name);
}
}

TEST_F(HandlerInstallationTest, NoopAndUnboundButtonsHaveNoHandler) {
    gamepad.buttonA().setValueChangedHandler([](float) {});
    install(mappingWith({{buttonA, Output::noop()}, {buttonB, key(KeyCode::b)}}));
    EXPECT_FALSE(gamepad.buttonA().hasValueChangedHandler());
    EXPECT_TRUE(gamepad.buttonB().hasValueChangedHandler());
    for (FakeGamepadButton* button : gamepad.buttons()) {
        if (button != &gamepad.buttonB()) {
            EXPECT_FALSE(button->hasValueChangedHandler());
        }
    }
    EXPECT_FALSE(gamepad.dpad().up().hasValueChangedHandler());
}

TEST_F(HandlerInstallationTest, SticksGetAHandlerEvenWhenAllTheirDirectionsDoNothing) {
    gamepad.leftThumbstick().up().setValueChangedHandler([](float) {});
    gamepad.rightThumbstick().left().setValueChangedHandler([](float) {});
    install(mappingWith({}));
    EXPECT_TRUE(gamepad.leftThumbstick().hasValueChangedHandler());
    EXPECT_TRUE(gamepad.rightThumbstick().hasValueChangedHandler());
    EXPECT_FALSE(gamepad.leftThumbstick().up().hasValueChangedHandler());
    EXPECT_FALSE(gamepad.rightThumbstick().left().hasValueChangedHandler());
    gamepad.leftThumbstick().set(1.0f, 1.0f);
    EXPECT_EQ(drained(frame), "");
}

TEST_F(HandlerInstallationTest, DpadOwnHandlerAndGamepadWideHandlerAreLeftAlone) {
    int padReports = 0;
    int scans = 0;
    gamepad.dpad().setValueChangedHandler([&](float, float) { ++padReports; });
    gamepad.setValueChangedHandler([&](Gamepad&, GamepadElement&) { ++scans; });
    install(mappingWith({{dpadLeft, key(KeyCode::leftArrow)}}));
    gamepad.dpad().left().press();
    EXPECT_EQ(drained(frame), "+leftArrow");
    EXPECT_EQ(padReports, 1);
    EXPECT_EQ(scans, 1);
}

TEST_F(HandlerInstallationTest, ControllerWithoutOptionalElementsInstallsTheRest) {
    FakeGamepad plain({.leftThumbstickButton = false,
                       .rightThumbstickButton = false,
                       .buttonOptions = false,
                       .buttonHome = false});
    const Mapping mapping = mappingWith({{buttonHome, key(KeyCode::h)},
                                         {buttonSelect, key(KeyCode::o)},
                                         {leftThumbstickButton, key(KeyCode::l)},
                                         {buttonA, key(KeyCode::a)}});
    installHandlers(plain, mapping, {}, frame);
    plain.buttonA().press();
    EXPECT_EQ(drained(frame), "+a");
}

TEST_F(HandlerInstallationTest, FirstEntryOfAnInputWins) {
    install(mappingWith({{buttonA, key(KeyCode::one)}, {buttonA, key(KeyCode::two)}}));
    gamepad.buttonA().press();
    EXPECT_EQ(drained(frame), "+one");
}

TEST_F(HandlerInstallationTest, EachStickUsesItsOwnMode) {
    install(mappingWith({{leftThumbstickUp, key(KeyCode::w)},
                         {leftThumbstickRight, key(KeyCode::d)},
                         {rightThumbstickUp, key(KeyCode::i)},
                         {rightThumbstickRight, key(KeyCode::l)}},
                        ThumbstickMode::eightWay, ThumbstickMode::smooth));
    // 10° right of up: eight-way gives up alone, smooth gives up and right.
    gamepad.leftThumbstick().set(0.17f, 0.98f);
    gamepad.rightThumbstick().set(0.17f, 0.98f);
    EXPECT_EQ(drained(frame), "+w +i +l");
}

TEST_F(HandlerInstallationTest, InstallingAgainStartsEveryHandlerReleased) {
    install(mappingWith({{buttonA, key(KeyCode::a)}, {leftThumbstickUp, key(KeyCode::w)}}));
    gamepad.buttonA().press();
    gamepad.leftThumbstick().set(0.0f, 1.0f);
    EXPECT_EQ(drained(frame), "+a +w");

    // The engine's reset releases what the old handlers pressed; nothing is owed across.
    install(mappingWith({{buttonA, key(KeyCode::b)}, {leftThumbstickUp, key(KeyCode::i)}}));
    gamepad.buttonA().release();
    gamepad.leftThumbstick().centre();
    EXPECT_EQ(drained(frame), "");
    gamepad.buttonA().press();
    gamepad.leftThumbstick().set(0.0f, 1.0f);
    EXPECT_EQ(drained(frame), "+b +i");
}

TEST_F(HandlerInstallationTest, HandlersCaptureTheMappingByValue) {
    Mapping mapping = mappingWith({{buttonA, key(KeyCode::a)}});
    install(mapping);
    mapping.inputs.front().output = key(KeyCode::z);
    gamepad.buttonA().press();
    EXPECT_EQ(drained(frame), "+a");
}

}  // namespace
}  // namespace joywright

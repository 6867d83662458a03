#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <utility>
#include <vector>

#include "ControllerTestSupport.hpp"

namespace joywright {
namespace {

using enum InputName;
using test::drained;
using test::key;
using test::mappingWith;
using test::wasdOnLeftStick;

class HandlerInstallationTest : public test::GamepadTest {};

TEST_F(HandlerInstallationTest, EveryBindableButtonDrivesItsOwnInput) {
    // In the order of FakeGamepad::buttons(), then the D-pad's up, down, left and right.
    constexpr std::pair<InputName, KeyCode> bindings[] = {
        {leftThumbstickButton, KeyCode::one},
        {leftShoulder, KeyCode::two},
        {leftTrigger, KeyCode::three},
        {rightThumbstickButton, KeyCode::four},
        {rightShoulder, KeyCode::five},
        {rightTrigger, KeyCode::six},
        {buttonA, KeyCode::a},
        {buttonB, KeyCode::b},
        {buttonX, KeyCode::x},
        {buttonY, KeyCode::y},
        {buttonStart, KeyCode::m},
        {buttonSelect, KeyCode::o},
        {buttonHome, KeyCode::h},
        {dpadUp, KeyCode::upArrow},
        {dpadDown, KeyCode::downArrow},
        {dpadLeft, KeyCode::leftArrow},
        {dpadRight, KeyCode::rightArrow},
    };
    std::vector<FakeGamepadButton*> elements = gamepad.buttons();
    for (auto* d : {&gamepad.dpad().up(), &gamepad.dpad().down(), &gamepad.dpad().left(),
                    &gamepad.dpad().right()})
        elements.push_back(d);
    ASSERT_EQ(elements.size(), std::size(bindings));
    Mapping mapping = mappingWith({});
    for (const auto& [input, code] : bindings)
        mapping.inputs.push_back({input, key(code)});
    install(mapping);
    for (std::size_t i = 0; i < elements.size(); ++i) {
        SCOPED_TRACE(title(bindings[i].first));
        elements[i]->press();
        elements[i]->release();
        const std::string name(caseName(bindings[i].second));
        EXPECT_EQ(drained(frame), "+" + name + " -" + name);
    }
}

TEST_F(HandlerInstallationTest, NoopAndUnboundButtonsHaveNoHandler) {
    gamepad.buttonA().setValueChangedHandler([](float) {});
    install(mappingWith({{buttonA, Output::noop()}, {buttonB, key(KeyCode::b)}}));
    for (FakeGamepadButton* button : gamepad.buttons())
        EXPECT_EQ(button->hasValueChangedHandler(), button == &gamepad.buttonB());
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
    EXPECT_EQ(move(1.0f, 1.0f), "");
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
    installHandlers(plain,
                    mappingWith({{buttonHome, key(KeyCode::h)},
                                 {buttonSelect, key(KeyCode::o)},
                                 {leftThumbstickButton, key(KeyCode::l)},
                                 {buttonA, key(KeyCode::a)}}),
                    {}, frame);
    plain.buttonA().press();
    EXPECT_EQ(drained(frame), "+a");
}

TEST_F(HandlerInstallationTest, FirstEntryOfAnInputWinsAndIsCapturedByValue) {
    Mapping mapping = mappingWith({{buttonA, key(KeyCode::one)}, {buttonA, key(KeyCode::two)}});
    install(mapping);
    mapping.inputs.front().output = key(KeyCode::z);
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
    EXPECT_EQ(move(0.0f, 1.0f), "+a +w");

    // The engine's reset releases what the old handlers pressed; nothing is owed across.
    install(mappingWith({{buttonA, key(KeyCode::b)}, {leftThumbstickUp, key(KeyCode::i)}}));
    gamepad.buttonA().release();
    EXPECT_EQ(move(0.0f, 0.0f), "");
    gamepad.buttonA().press();
    EXPECT_EQ(move(0.0f, 1.0f), "+b +i");
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

Mapping motionOnLeftStick(ThumbstickMode mode) {
    return test::leftStickMapping([](Direction d) { return Output::moveMouse(d, 1000); }, mode);
}

struct Step {
    float x, y;
    const char* sent;  // what the report appends
};
// A full deflection at a compass bearing (degrees).
Step at(double degrees, const char* sent) {
    const double radians = degrees * std::numbers::pi / 180.0;
    return {static_cast<float>(std::sin(radians)), static_cast<float>(std::cos(radians)), sent};
}

class ThumbstickHandlerTest : public test::GamepadTest {};

TEST_F(ThumbstickHandlerTest, EachReportReleasesLeftDirectionsThenPressesOrUpdatesItsOwn) {
    using M = ThumbstickMode;
    const auto notched = [](Direction d) {
        return Output::scrollMouse(d, 100, ScrollMouseMode::notched);
    };
    struct Case {
        const char* name;
        Mapping mapping;
        std::vector<Step> steps;
        ControllerSettings settings = {};
    };
    const Case cases[] = {
        {"smooth motion is re-sent with every report and released in the dead zone",
         motionOnLeftStick(M::smooth),
         {{0.03f, 0.03f, ""},
          {0.525f, 0.0f, "dx(0.5@1000)"},
          {1.0f, 0.0f, "dx(1@1000)"},
          {0.6f, -0.8f, "dy(0.8@1000) dx(0.6@1000)"},
          {0.03f, 0.03f, "dy0 dx0"},
          {0.0f, 0.0f, ""},
          {1.0f, 0.0f, "dx(1@1000)"},
          {-1.0f, 0.0f, "dx0 dx(-1@1000)"},  // right to left in one report
          {0.0f, 0.0f, "dx0"}}},
        {"smooth keys press only when their direction starts",
         wasdOnLeftStick(M::smooth),
         {{0.0f, 0.5f, "+w"},
          {0.0f, 0.9f, ""},
          {0.2f, 0.9f, "+d"},
          {0.2f, -0.9f, "-w +s"},
          {0.0f, 0.0f, "-s -d"}}},
        {"eight-way motion carries each direction's component, clamped",
         motionOnLeftStick(M::eightWay),
         {{0.5f, 0.5f, "dy(-0.4891@1000) dx(0.4891@1000)"},
          at(20.0, "dx0 dy(-0.939693@1000)"),
          {2.0f, 0.0f, "dy0 dx(1@1000)"},
          {-1.0f, 0.0f, "dx0 dx(-1@1000)"},
          {0.0f, 0.0f, "dx0"}}},
        {"eight-way keys change at 22.5 degrees and only for the directions that change",
         wasdOnLeftStick(M::eightWay),
         {at(22.5 - 1e-4, "+w"),
          at(22.5 + 1e-4, "+d"),
          at(22.5 - 1e-4, "-d"),
          {0.7f, 0.7f, "+d"},
          {1.0f, 0.05f, "-w"},
          {0.0f, 0.0f, "-d"}}},
        {"the dead zone is radial: a diagonal whose axes each lie inside it is outside",
         wasdOnLeftStick(M::smooth),
         {{0.04f, 0.04f, "+w +d"}, {0.03f, 0.03f, "-w -d"}}},
        {"a resting stick with calibrated drift counts as centred",
         wasdOnLeftStick(M::smooth),
         {{0.1f, 0.0f, ""}, {0.14f, 0.0f, ""}, {0.2f, 0.0f, "+d"}},
         {.calibration = {.left = {.x = 0.1f, .y = 0.0f}}}},
        {"the dead zone comes from the settings",
         wasdOnLeftStick(M::smooth),
         {{0.25f, 0.0f, ""}, {0.35f, 0.0f, "+d"}},
         {.deadZone = 0.3f}},
        // atan2(0, 0) is 0, a bearing of straight up; a centred stick must not read as up.
        {"an eight-way stick exactly at rest with no dead zone presses nothing",
         wasdOnLeftStick(M::eightWay),
         {{0.001f, 0.0f, "+d"}, {0.0f, 0.0f, "-d"}},
         {.deadZone = 0.0f}},
        {"a dead zone above 1 is brought down to 1",
         wasdOnLeftStick(M::smooth),
         {{1.0f, 0.0f, ""}, {1.0f, 1.0f, "+w +d"}},
         {.deadZone = 4.0f}},
        {"a dead zone that is not a number is brought into range",
         wasdOnLeftStick(M::smooth),
         {{0.01f, 0.0f, "+d"}},
         {.deadZone = kNaN}},
        {"a smooth report that is not a number releases everything",
         wasdOnLeftStick(M::smooth),
         {{0.8f, 0.8f, "+w +d"}, {kNaN, 0.8f, "-w -d"}}},
        {"an eight-way report that is not a number releases everything",
         wasdOnLeftStick(M::eightWay),
         {{0.8f, 0.8f, "+w +d"}, {kNaN, 0.8f, "-w -d"}}},
        {"notched scroll notches once per entry into its direction",
         mappingWith({{leftThumbstickUp, notched(Direction::up)},
                      {leftThumbstickRight, notched(Direction::right)}}),
         {{0.0f, 0.5f, "notch(1,0)"},
          {0.0f, 1.0f, ""},
          {0.5f, 1.0f, "notch(0,-1)"},
          {0.0f, 0.0f, ""},
          {0.0f, 0.5f, "notch(1,0)"}}},
        {"continuous scroll follows the stick",
         mappingWith({{leftThumbstickDown,
                       Output::scrollMouse(Direction::down, 200, ScrollMouseMode::continuous)}}),
         {{0.0f, -0.525f, "sy(100)"}, {0.0f, -1.0f, "sy(200)"}, {0.0f, 0.0f, "sy0"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        gamepad.leftThumbstick().centre();
        install(c.mapping, c.settings);
        drained(frame);
        for (const Step& step : c.steps) {
            SCOPED_TRACE(testing::Message() << "(" << step.x << ", " << step.y << ")");
            EXPECT_EQ(move(step.x, step.y), step.sent);
        }
    }
}

TEST_F(ThumbstickHandlerTest, CalibrationOfOneStickIsNotAppliedToTheOther) {
    install(mappingWith({{rightThumbstickRight, key(KeyCode::d)}}),
            {.calibration = {.left = {.x = 0.5f, .y = 0.0f}}});
    gamepad.rightThumbstick().set(0.5f, 0.0f);
    EXPECT_EQ(drained(frame), "+d");
}

}  // namespace
}  // namespace joywright

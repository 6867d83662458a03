#include <gtest/gtest.h>

#include "InstructionText.hpp"
#include "controller/ButtonHandler.hpp"

namespace joywright {
namespace {

using test::drained;

class ButtonHandlerTest : public ::testing::Test {
protected:
    ButtonHandlerTest() { frame.setListening(true); }

    // Feeds the values one by one and gives what each change appended, separated by " | ".
    std::string feed(ButtonHandler& handler, std::initializer_list<float> values) {
        std::string text;
        for (float value : values) {
            handler(value);
            if (!text.empty()) text += " | ";
            text += drained(frame);
        }
        return text;
    }

    Frame frame;
};

TEST_F(ButtonHandlerTest, PressesStrictlyAboveAQuarter) {
    ButtonHandler handler(Output::pressKey({KeyCode::space, {}}), frame);
    EXPECT_EQ(feed(handler, {0.25f}), "");
    EXPECT_FALSE(handler.wasPressed());
    EXPECT_EQ(feed(handler, {0.2501f}), "+space");
    EXPECT_TRUE(handler.wasPressed());
    EXPECT_EQ(feed(handler, {0.25f}), "-space");
    EXPECT_FALSE(handler.wasPressed());
}

TEST_F(ButtonHandlerTest, KeyClickAndNotchStartOncePerPress) {
    struct Case {
        const char* name;
        Output output;
        const char* events;
    };
    const Case cases[] = {
        {"key", Output::pressKey({KeyCode::a, {}}), "+a |  |  | -a |  | +a"},
        {"click", Output::clickMouse(MouseButton::left()), "+mouse0 |  |  | -mouse0 |  | +mouse0"},
        {"notch", Output::scrollMouse(Direction::up, 100, ScrollMouseMode::notched),
         "notch(1,0) |  |  |  |  | notch(1,0)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ButtonHandler handler(c.output, frame);
        EXPECT_EQ(feed(handler, {0.5f, 0.9f, 1.0f, 0.1f, 0.0f, 1.0f}), c.events);
    }
}

TEST_F(ButtonHandlerTest, AnalogTriggerSteersMotionOnEveryChangeAndReleasesOnce) {
    ButtonHandler handler(Output::moveMouse(Direction::right, 640), frame);
    EXPECT_EQ(feed(handler, {0.3f, 0.9f, 0.2f, 0.1f}), "dx(0.3@640) | dx(0.9@640) | dx0 | ");
}

TEST_F(ButtonHandlerTest, ContinuousScrollFollowsTheValue) {
    ButtonHandler handler(Output::scrollMouse(Direction::up, 100, ScrollMouseMode::continuous),
                          frame);
    EXPECT_EQ(feed(handler, {0.5f, 1.0f, 0.0f}), "sy(-50) | sy(-100) | sy0");
}

TEST_F(ButtonHandlerTest, AppendsNothingWhileTheEngineIsNotListening) {
    ButtonHandler handler(Output::pressKey({KeyCode::a, {}}), frame);
    frame.setListening(false);
    handler(1.0f);
    frame.setListening(true);
    EXPECT_EQ(drained(frame), "");
    // The handler still counted the press, so the next change releases it.
    EXPECT_EQ(feed(handler, {0.0f}), "-a");
}

}  // namespace
}  // namespace joywright

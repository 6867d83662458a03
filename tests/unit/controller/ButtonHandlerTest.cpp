#include <gtest/gtest.h>

#include <vector>

#include "ControllerTestSupport.hpp"
#include "controller/ButtonHandler.hpp"

namespace joywright {
namespace {

using test::drained;

class ButtonHandlerTest : public ::testing::Test {
protected:
    ButtonHandlerTest() { frame.setListening(true); }

    // Feeds the values one by one and gives what each change appended, separated by " | ".
    std::string feed(ButtonHandler& handler, const std::vector<float>& values) {
        std::string text;
        for (std::size_t i = 0; i < values.size(); ++i) {
            handler(values[i]);
            text += (i == 0 ? "" : " | ") + drained(frame);
        }
        return text;
    }

    Frame frame;
};

TEST_F(ButtonHandlerTest, PressesAboveAQuarterOncePerPressOrFollowsTheValueForMotionAndScroll) {
    using D = Direction;
    const std::vector<float> presses{0.25f, 0.2501f, 0.9f, 1.0f, 0.25f, 0.0f, 1.0f};
    struct Case {
        const char* name;
        Output output;
        std::vector<float> values;
        const char* events;
    };
    const Case cases[] = {
        {"key", Output::pressKey({KeyCode::a, {}}), presses, " | +a |  |  | -a |  | +a"},
        {"click", Output::clickMouse(MouseButton::left()), presses,
         " | +mouse0 |  |  | -mouse0 |  | +mouse0"},
        {"notch", Output::scrollMouse(D::up, 100, ScrollMouseMode::notched), presses,
         " | notch(1,0) |  |  |  |  | notch(1,0)"},
        {"motion",
         Output::moveMouse(D::right, 640),
         {0.3f, 0.9f, 0.2f, 0.1f},
         "dx(0.3@640) | dx(0.9@640) | dx0 | "},
        {"continuous scroll",
         Output::scrollMouse(D::up, 100, ScrollMouseMode::continuous),
         {0.5f, 1.0f, 0.0f},
         "sy(-50) | sy(-100) | sy0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ButtonHandler handler(c.output, frame);
        EXPECT_EQ(feed(handler, c.values), c.events);
        EXPECT_EQ(handler.wasPressed(), c.values.back() > 0.25f);
    }
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

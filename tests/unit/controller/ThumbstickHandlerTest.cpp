#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "InstructionText.hpp"
#include "TestMapping.hpp"
#include "controller/ControllerSettings.hpp"
#include "controller/HandlerInstallation.hpp"
#include "fakes/FakeGamepad.hpp"

namespace joywright {
namespace {

using test::drained;
using test::key;
using test::mappingWith;
using enum InputName;

constexpr float kSpeed = 1000.0f;

Mapping keysOnLeftStick(ThumbstickMode mode) {
    return mappingWith({{leftThumbstickUp, key(KeyCode::w)},
                        {leftThumbstickDown, key(KeyCode::s)},
                        {leftThumbstickLeft, key(KeyCode::a)},
                        {leftThumbstickRight, key(KeyCode::d)}},
                       mode);
}

Mapping motionOnLeftStick(ThumbstickMode mode) {
    return mappingWith({{leftThumbstickUp, Output::moveMouse(Direction::up, kSpeed)},
                        {leftThumbstickDown, Output::moveMouse(Direction::down, kSpeed)},
                        {leftThumbstickLeft, Output::moveMouse(Direction::left, kSpeed)},
                        {leftThumbstickRight, Output::moveMouse(Direction::right, kSpeed)}},
                       mode);
}

class ThumbstickHandlerTest : public ::testing::Test {
protected:
    ThumbstickHandlerTest() { frame.setListening(true); }

    void install(const Mapping& mapping, ControllerSettings settings = {}) {
        installHandlers(gamepad, mapping, settings, frame);
    }
    // Moves the left stick and gives what the move appended.
    std::string move(float x, float y) {
        gamepad.leftThumbstick().set(x, y);
        return drained(frame);
    }
    std::vector<FrameInput> moveAndCollect(float x, float y) {
        gamepad.leftThumbstick().set(x, y);
        std::vector<FrameInput> inputs;
        frame.drain(inputs);
        return inputs;
    }

    FakeGamepad gamepad;
    Frame frame;
};

TEST_F(ThumbstickHandlerTest, SmoothStickInsideTheDeadZoneSendsNothingAndReleasesWhatWasActive) {
    install(motionOnLeftStick(ThumbstickMode::smooth));
    EXPECT_EQ(move(0.03f, 0.03f), "");
    EXPECT_EQ(move(1.0f, 0.0f), "dx(1@1000)");
    EXPECT_EQ(move(0.03f, 0.03f), "dx0");
    EXPECT_EQ(move(0.0f, 0.0f), "");
}

TEST_F(ThumbstickHandlerTest, SmoothStickResendsMotionWithEveryReport) {
    install(motionOnLeftStick(ThumbstickMode::smooth));
    EXPECT_EQ(move(0.525f, 0.0f), "dx(0.5@1000)");
    EXPECT_EQ(move(1.0f, 0.0f), "dx(1@1000)");
    const auto diagonal = moveAndCollect(0.6f, -0.8f);  // radius 1: full deflection
    ASSERT_EQ(diagonal.size(), 2u);
    const auto& down = std::get<frame_input::SetMouseDY>(diagonal[0]);
    const auto& right = std::get<frame_input::SetMouseDX>(diagonal[1]);
    EXPECT_NEAR(down.magnitude, 0.8f, 1e-6);
    EXPECT_NEAR(right.magnitude, 0.6f, 1e-6);
}

TEST_F(ThumbstickHandlerTest, SmoothKeysPressOnlyWhenTheirDirectionStarts) {
    install(keysOnLeftStick(ThumbstickMode::smooth));
    EXPECT_EQ(move(0.0f, 0.5f), "+w");
    EXPECT_EQ(move(0.0f, 0.9f), "");
    EXPECT_EQ(move(0.2f, 0.9f), "+d");
    EXPECT_EQ(move(0.2f, -0.9f), "-w +s");
    EXPECT_EQ(move(0.0f, 0.0f), "-s -d");
}

TEST_F(ThumbstickHandlerTest, EightWayDiagonalGivesBothDirectionsTheirShare) {
    install(motionOnLeftStick(ThumbstickMode::eightWay));
    const auto inputs = moveAndCollect(0.5f, 0.5f);
    ASSERT_EQ(inputs.size(), 2u);
    const float s = (std::sqrt(0.5f) - 0.05f) / 0.95f;
    EXPECT_NEAR(std::get<frame_input::SetMouseDY>(inputs[0]).magnitude,
                -std::numbers::sqrt2_v<float> / 2 * s, 1e-6);
    EXPECT_NEAR(std::get<frame_input::SetMouseDX>(inputs[1]).magnitude,
                std::numbers::sqrt2_v<float> / 2 * s, 1e-6);
}

TEST_F(ThumbstickHandlerTest, EightWayNearStraightUpGivesUpAloneWithItsComponent) {
    install(motionOnLeftStick(ThumbstickMode::eightWay));
    const double angle = 20.0 * std::numbers::pi / 180.0;
    const auto inputs =
        moveAndCollect(static_cast<float>(std::sin(angle)), static_cast<float>(std::cos(angle)));
    ASSERT_EQ(inputs.size(), 1u);
    EXPECT_NEAR(std::get<frame_input::SetMouseDY>(inputs[0]).magnitude, -std::cos(angle), 1e-6);
}

TEST_F(ThumbstickHandlerTest, EightWaySectorBoundaryAtTwentyTwoAndAHalfDegrees) {
    install(keysOnLeftStick(ThumbstickMode::eightWay));
    const auto at = [](double degrees) {
        const double radians = degrees * std::numbers::pi / 180.0;
        return std::pair{static_cast<float>(std::sin(radians)),
                         static_cast<float>(std::cos(radians))};
    };
    auto [x1, y1] = at(22.5 - 1e-4);
    EXPECT_EQ(move(x1, y1), "+w");
    auto [x2, y2] = at(22.5 + 1e-4);
    EXPECT_EQ(move(x2, y2), "+d");
    EXPECT_EQ(move(x1, y1), "-d");
}

TEST_F(ThumbstickHandlerTest, EightWayFromUpRightToRightReleasesOnlyUp) {
    install(keysOnLeftStick(ThumbstickMode::eightWay));
    EXPECT_EQ(move(0.7f, 0.7f), "+w +d");
    EXPECT_EQ(move(1.0f, 0.05f), "-w");
}

TEST_F(ThumbstickHandlerTest, SweepFromRightToLeftInOneReportReleasesBeforePressing) {
    for (ThumbstickMode mode : {ThumbstickMode::smooth, ThumbstickMode::eightWay}) {
        SCOPED_TRACE(rawValue(mode));
        install(motionOnLeftStick(mode));
        gamepad.leftThumbstick().centre();
        EXPECT_EQ(move(1.0f, 0.0f), "dx(1@1000)");
        EXPECT_EQ(move(-1.0f, 0.0f), "dx0 dx(-1@1000)");
        EXPECT_EQ(move(0.0f, 0.0f), "dx0");
    }
}

TEST_F(ThumbstickHandlerTest, EightWayClampsMagnitudesOfClampedReports) {
    install(motionOnLeftStick(ThumbstickMode::eightWay));
    EXPECT_EQ(move(2.0f, 0.0f), "dx(1@1000)");
}

TEST_F(ThumbstickHandlerTest, RestingStickWithCalibratedDriftCountsAsCentred) {
    ControllerSettings settings;
    settings.calibration.left = {.x = 0.1f, .y = 0.0f};
    install(keysOnLeftStick(ThumbstickMode::smooth), settings);
    EXPECT_EQ(move(0.1f, 0.0f), "");
    EXPECT_EQ(move(0.14f, 0.0f), "");
    EXPECT_EQ(move(0.2f, 0.0f), "+d");
}

TEST_F(ThumbstickHandlerTest, CalibrationOfOneStickIsNotAppliedToTheOther) {
    ControllerSettings settings;
    settings.calibration.left = {.x = 0.5f, .y = 0.0f};
    install(mappingWith({{rightThumbstickRight, key(KeyCode::d)}}), settings);
    gamepad.rightThumbstick().set(0.5f, 0.0f);
    EXPECT_EQ(drained(frame), "+d");
}

TEST_F(ThumbstickHandlerTest, DeadZoneComesFromTheSettings) {
    install(keysOnLeftStick(ThumbstickMode::smooth), {.deadZone = 0.3f});
    EXPECT_EQ(move(0.25f, 0.0f), "");
    EXPECT_EQ(move(0.35f, 0.0f), "+d");
}

TEST_F(ThumbstickHandlerTest, EightWayStickExactlyAtRestWithNoDeadZonePressesNothing) {
    install(keysOnLeftStick(ThumbstickMode::eightWay), {.deadZone = 0.0f});
    EXPECT_EQ(move(0.001f, 0.0f), "+d");
    // atan2(0, 0) is 0, a bearing of straight up; a centred stick must not read as up.
    EXPECT_EQ(move(0.0f, 0.0f), "-d");
}

TEST_F(ThumbstickHandlerTest, DeadZoneOutsideZeroToOneIsBroughtIntoIt) {
    install(keysOnLeftStick(ThumbstickMode::smooth), {.deadZone = 4.0f});
    EXPECT_EQ(move(1.0f, 0.0f), "");
    EXPECT_EQ(move(1.0f, 1.0f), "+w +d");
    install(keysOnLeftStick(ThumbstickMode::smooth),
            {.deadZone = std::numeric_limits<float>::quiet_NaN()});
    EXPECT_EQ(move(0.01f, 0.0f), "+d");
}

TEST_F(ThumbstickHandlerTest, ReportThatIsNotANumberReleasesEverything) {
    for (ThumbstickMode mode : {ThumbstickMode::smooth, ThumbstickMode::eightWay}) {
        SCOPED_TRACE(rawValue(mode));
        install(keysOnLeftStick(mode));
        EXPECT_EQ(move(0.8f, 0.8f), "+w +d");
        EXPECT_EQ(move(std::numeric_limits<float>::quiet_NaN(), 0.8f), "-w -d");
        gamepad.leftThumbstick().centre();
        drained(frame);
    }
}

TEST_F(ThumbstickHandlerTest, NotchedScrollOnAStickNotchesOncePerEntry) {
    const auto notched = [](Direction d) {
        return Output::scrollMouse(d, 100, ScrollMouseMode::notched);
    };
    install(mappingWith({{leftThumbstickUp, notched(Direction::up)},
                         {leftThumbstickRight, notched(Direction::right)}}));
    EXPECT_EQ(move(0.0f, 0.5f), "notch(1,0)");
    EXPECT_EQ(move(0.0f, 1.0f), "");
    EXPECT_EQ(move(0.5f, 1.0f), "notch(0,-1)");
    EXPECT_EQ(move(0.0f, 0.0f), "");
    EXPECT_EQ(move(0.0f, 0.5f), "notch(1,0)");
}

TEST_F(ThumbstickHandlerTest, ContinuousScrollFollowsTheStick) {
    install(mappingWith({{leftThumbstickDown, Output::scrollMouse(Direction::down, 200,
                                                                  ScrollMouseMode::continuous)}}));
    EXPECT_EQ(move(0.0f, -0.525f), "sy(100)");
    EXPECT_EQ(move(0.0f, -1.0f), "sy(200)");
    EXPECT_EQ(move(0.0f, 0.0f), "sy0");
}

}  // namespace
}  // namespace joywright

#include <gtest/gtest.h>

#include "controller/DriftCalibration.hpp"
#include "fakes/FakeGamepad.hpp"
#include "support/VirtualMainLoop.hpp"

namespace joywright {
namespace {

class DriftCalibrationTest : public ::testing::Test {
protected:
    void start() {
        calibration.start(gamepad, [this](std::optional<ControllerCalibration> measured) {
            ++reports;
            result = measured;
        });
    }

    VirtualMainLoop loop;
    std::shared_ptr<FakeGamepad> gamepad = std::make_shared<FakeGamepad>();
    DriftCalibration calibration{loop};
    int reports = 0;
    std::optional<ControllerCalibration> result;
};

TEST_F(DriftCalibrationTest, AveragesSixtyRawSamplesOverOneSecondAndReportsOnce) {
    gamepad->rightThumbstick().set(-0.03f, 0.04f);
    start();
    int ticks = 0;
    while (calibration.isCalibrating()) {
        // The left stick alternates between two resting values on every sample.
        gamepad->leftThumbstick().set(ticks % 2 == 0 ? 0.1f : 0.0f, -0.2f);
        EXPECT_EQ(reports, 0);
        loop.advance(DriftCalibration::kSampleInterval);
        ++ticks;
    }
    EXPECT_EQ(ticks, 60);
    ASSERT_EQ(reports, 1);
    ASSERT_TRUE(result);
    EXPECT_NEAR(result->left.x, 0.05f, 1e-6);
    EXPECT_NEAR(result->left.y, -0.2f, 1e-6);
    EXPECT_NEAR(result->right.x, -0.03f, 1e-6);
    EXPECT_NEAR(result->right.y, 0.04f, 1e-6);
    loop.advance(5.0);
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(loop.pendingCount(), 0u);
}

TEST_F(DriftCalibrationTest, CancelledOrDestroyedCalibrationReportsNothing) {
    start();
    loop.advance(0.5);
    calibration.cancel();
    EXPECT_FALSE(calibration.isCalibrating());
    loop.advance(2.0);
    EXPECT_EQ(reports, 0);

    {
        DriftCalibration screenGone(loop);
        screenGone.start(gamepad, [this](auto) { ++reports; });
        loop.advance(0.5);
    }
    loop.advance(2.0);
    EXPECT_EQ(reports, 0);
}

TEST_F(DriftCalibrationTest, StartingAgainRestartsTheMeasurement) {
    gamepad->leftThumbstick().set(0.3f, 0.0f);
    start();
    loop.advance(0.5);
    gamepad->leftThumbstick().set(0.1f, 0.0f);
    start();
    loop.advance(0.9);
    EXPECT_EQ(reports, 0);
    loop.advance(0.2);
    ASSERT_EQ(reports, 1);
    EXPECT_NEAR(result->left.x, 0.1f, 1e-6);
}

TEST_F(DriftCalibrationTest, GamepadGoneWhileSamplingReportsNoResult) {
    start();
    loop.advance(0.5);
    gamepad.reset();
    loop.advance(0.1);
    EXPECT_EQ(reports, 1);
    EXPECT_FALSE(result);
    EXPECT_FALSE(calibration.isCalibrating());
}

TEST_F(DriftCalibrationTest, CallbackMayStartTheNextMeasurement) {
    int finished = 0;
    std::function<void(std::optional<ControllerCalibration>)> again =
        [&](std::optional<ControllerCalibration> r) {
            ASSERT_TRUE(r);
            if (++finished < 2) calibration.start(gamepad, again);
        };
    calibration.start(gamepad, again);
    loop.advance(3.0);
    EXPECT_EQ(finished, 2);
    EXPECT_FALSE(calibration.isCalibrating());
}

}  // namespace
}  // namespace joywright

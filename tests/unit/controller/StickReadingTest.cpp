#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "controller/EightWaySector.hpp"
#include "controller/StickReading.hpp"

namespace joywright {
namespace {

constexpr float kDeadZone = 0.05f;
constexpr ThumbstickCalibration kUncalibrated{};

TEST(StickReading, ScalesTheRadiusFromTheDeadZoneEdgeToFullDeflection) {
    struct Case {
        float x, y, magnitude;
    };
    const Case cases[] = {
        {0.0f, 0.0f, 0.0f},         {0.05f, 0.0f, 0.0f}, {0.0f, -0.525f, 0.5f}, {1.0f, 0.0f, 1.0f},
        {-0.3f, 0.4f, 0.47368421f}, {1.0f, 1.0f, 1.0f},  // the diagonal corner has radius √2:
                                                         // limited to 1
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "(" << c.x << ", " << c.y << ")");
        EXPECT_NEAR(readStick(c.x, c.y, kUncalibrated, kDeadZone).magnitude, c.magnitude, 1e-6);
    }
}

TEST(StickReading, ComponentsAreTheDeflectionSharedAlongEachDirection) {
    const StickReading upLeft = readStick(-0.6f, 0.8f, kUncalibrated, 0.0f);
    EXPECT_NEAR(upLeft.component(Direction::up), 0.8f, 1e-6);
    EXPECT_NEAR(upLeft.component(Direction::left), 0.6f, 1e-6);
    EXPECT_EQ(upLeft.component(Direction::down), 0.0f);
    EXPECT_EQ(upLeft.component(Direction::right), 0.0f);

    const StickReading corner = readStick(1.0f, -1.0f, kUncalibrated, kDeadZone);
    EXPECT_NEAR(corner.component(Direction::right), std::numbers::sqrt2 / 2, 1e-6);
    EXPECT_NEAR(corner.component(Direction::down), std::numbers::sqrt2 / 2, 1e-6);
}

TEST(StickReading, DeadZoneIsRadialNotPerAxis) {
    // Each axis alone is inside the dead zone, the radius is not.
    const StickReading diagonal = readStick(0.04f, 0.04f, kUncalibrated, kDeadZone);
    EXPECT_GT(diagonal.radius, kDeadZone);
    EXPECT_GT(diagonal.component(Direction::up), 0.0f);
    EXPECT_GT(diagonal.component(Direction::right), 0.0f);
    // r = 0.042: inside.
    EXPECT_EQ(readStick(0.03f, 0.03f, kUncalibrated, kDeadZone).magnitude, 0.0f);
}

TEST(StickReading, CalibrationIsSubtractedBeforeTheDeadZoneAndTheClamp) {
    const ThumbstickCalibration drift{.x = 0.1f, .y = -0.04f};
    const StickReading resting = readStick(0.1f, -0.04f, drift, kDeadZone);
    EXPECT_EQ(resting.radius, 0.0f);
    // 0.14 alone would be well outside the dead zone; less the offset it is 0.04, inside.
    EXPECT_EQ(readStick(0.14f, -0.04f, drift, kDeadZone).magnitude, 0.0f);
    EXPECT_GT(readStick(0.14f, -0.04f, kUncalibrated, kDeadZone).magnitude, 0.0f);
    // Full left less a positive offset stays at -1 rather than going past it.
    EXPECT_EQ(readStick(-1.0f, -0.04f, drift, kDeadZone).x, -1.0f);
    EXPECT_EQ(readStick(1.5f, -0.04f, drift, kDeadZone).x, 1.0f);
}

TEST(StickReading, ReportsThatAreNotNumbersGiveNoComponent) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const StickReading reading = readStick(nan, 0.5f, kUncalibrated, kDeadZone);
    for (Direction d : kAllDirections)
        EXPECT_EQ(reading.component(d), 0.0f);
}

TEST(StickReading, DeadZoneOfOneLeavesOnlyTheCorners) {
    EXPECT_EQ(readStick(1.0f, 0.0f, kUncalibrated, 1.0f).magnitude, 0.0f);
    EXPECT_EQ(readStick(0.9f, 0.9f, kUncalibrated, 1.0f).magnitude, 1.0f);
}

// The directions a bearing (degrees) leans into by more than 22.5° of a half-turn: what an
// eight-way sector centred there must hold.
DirectionSet leaningDirections(double bearing) {
    const double radians = bearing * std::numbers::pi / 180.0;
    const double threshold = std::cos(67.5 * std::numbers::pi / 180.0) + 1e-9;
    DirectionSet set;
    if (std::cos(radians) > threshold) set.insert(Direction::up);
    if (-std::cos(radians) > threshold) set.insert(Direction::down);
    if (-std::sin(radians) > threshold) set.insert(Direction::left);
    if (std::sin(radians) > threshold) set.insert(Direction::right);
    return set;
}

TEST(EightWaySector, TableCoversTheCircleInEightContiguousSectorsPointingTheirWay) {
    for (std::size_t i = 0; i < kEightWaySectors.size(); ++i) {
        const EightWaySector& sector = kEightWaySectors[i];
        const EightWaySector& next = kEightWaySectors[(i + 1) % kEightWaySectors.size()];
        SCOPED_TRACE(sector.number);
        EXPECT_EQ(sector.number, static_cast<int>(i) + 1);
        EXPECT_EQ(sector.to, next.from);
        EXPECT_EQ(std::fmod(sector.to - sector.from + 360.0, 360.0), 45.0);
        const double centre = std::fmod(sector.from + 22.5, 360.0);
        EXPECT_EQ(sector.directions, leaningDirections(centre));
        EXPECT_EQ(eightWaySector(centre), sector.number);
        EXPECT_EQ(sectorDirections(sector.number), sector.directions);
    }
    EXPECT_TRUE(sectorDirections(kCentredSector).empty());
}

TEST(EightWaySector, EachBoundaryBelongsToTheSectorItStarts) {
    for (std::size_t i = 0; i < kEightWaySectors.size(); ++i) {
        const EightWaySector& sector = kEightWaySectors[i];
        const int previous = i == 0 ? 8 : kEightWaySectors[i - 1].number;
        SCOPED_TRACE(sector.from);
        EXPECT_EQ(eightWaySector(sector.from), sector.number);
        EXPECT_EQ(eightWaySector(std::nextafter(sector.from, 0.0)), previous);
    }
    EXPECT_EQ(eightWaySector(22.5), 2);
    EXPECT_EQ(eightWaySector(std::nextafter(22.5, 0.0)), 1);
    EXPECT_EQ(eightWaySector(0.0), 1);
    EXPECT_EQ(eightWaySector(360.0), 1);
}

TEST(EightWaySector, BearingsOutsideTheCircleOrNotNumbersAreCentred) {
    EXPECT_EQ(eightWaySector(std::numeric_limits<double>::quiet_NaN()), kCentredSector);
    EXPECT_EQ(eightWaySector(-0.5), kCentredSector);
    EXPECT_EQ(eightWaySector(std::nextafter(360.0, 400.0)), kCentredSector);
}

TEST(EightWaySector, BearingIsACompassAngle) {
    struct Case {
        float x, y;
        double bearing;
    };
    const Case cases[] = {
        {0.0f, 1.0f, 0.0},  {1.0f, 0.0f, 90.0},   {0.0f, -1.0f, 180.0}, {-1.0f, 0.0f, 270.0},
        {0.5f, 0.5f, 45.0}, {-0.5f, 0.5f, 315.0}, {-0.0f, 1.0f, 0.0},   {-1e-30f, 1.0f, 360.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "(" << c.x << ", " << c.y << ")");
        EXPECT_NEAR(compassBearing(c.x, c.y), c.bearing, 1e-9);
        EXPECT_EQ(eightWaySector(compassBearing(c.x, c.y)),
                  eightWaySector(std::fmod(c.bearing, 360.0)));
    }
}

}  // namespace
}  // namespace joywright

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "controller/EightWaySector.hpp"
#include "controller/StickReading.hpp"

namespace joywright {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(StickReading, CalibratesClampsAppliesTheRadialDeadZoneAndSharesTheDeflection) {
    constexpr ThumbstickCalibration drift{.x = 0.1f, .y = -0.04f};
    constexpr float d = 0.05f;  // the default dead zone
    struct Case {
        float x, y;
        ThumbstickCalibration calibration;
        float deadZone, magnitude;
        float up, down, left, right;
    };
    constexpr Case cases[] = {
        {0.0f, 0.0f, {}, d, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},
        {0.05f, 0.0f, {}, d, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},   // on the edge
        {0.03f, 0.03f, {}, d, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},  // radius 0.042: inside
        // Each axis alone is inside the dead zone, the radius is not.
        {0.04f, 0.04f, {}, d, 0.006914f, 0.004889f, 0.0f, 0.0f, 0.004889f},
        {0.0f, -0.525f, {}, d, 0.5f, 0.0f, 0.5f, 0.0f, 0.0f},
        {-0.3f, 0.4f, {}, d, 0.473684f, 0.378947f, 0.0f, 0.284211f, 0.0f},
        {-0.6f, 0.8f, {}, 0.0f, 1.0f, 0.8f, 0.0f, 0.6f, 0.0f},
        {1.0f, -1.0f, {}, d, 1.0f, 0.0f, 0.707107f, 0.0f, 0.707107f},  // radius √2: limited to 1
        {1.0f, 0.0f, {}, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},  // a dead zone of 1 leaves corners
        {0.9f, 0.9f, {}, 1.0f, 1.0f, 0.707107f, 0.0f, 0.0f, 0.707107f},
        // The offsets come off before the dead zone, and the axes are clamped after them.
        {0.1f, -0.04f, drift, d, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},
        {0.14f, -0.04f, drift, d, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},
        {0.14f, -0.04f, {}, d, 0.100634f, 0.0f, 0.027646f, 0.0f, 0.096762f},
        {-1.0f, 0.46f, drift, d, 1.0f, 0.447214f, 0.0f, 0.894427f, 0.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "(" << c.x << ", " << c.y << ") in " << c.deadZone);
        const StickReading reading = readStick(c.x, c.y, c.calibration, c.deadZone);
        EXPECT_NEAR(reading.magnitude, c.magnitude, 1e-6);
        EXPECT_NEAR(reading.component(Direction::up), c.up, 1e-6);
        EXPECT_NEAR(reading.component(Direction::down), c.down, 1e-6);
        EXPECT_NEAR(reading.component(Direction::left), c.left, 1e-6);
        EXPECT_NEAR(reading.component(Direction::right), c.right, 1e-6);
    }
    for (Direction direction : kAllDirections)  // a report that is not a number
        EXPECT_EQ(readStick(kNaN, 0.5f, {}, d).component(direction), 0.0f);
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
        SCOPED_TRACE(sector.from);  // 22.5 starts sector 2; just below it is sector 1
        EXPECT_EQ(eightWaySector(sector.from), sector.number);
        EXPECT_EQ(eightWaySector(std::nextafter(sector.from, 0.0)), i == 0 ? 8 : sector.number - 1);
    }
    EXPECT_EQ(eightWaySector(0.0), 1);
    EXPECT_EQ(eightWaySector(360.0), 1);
    for (double outside : {static_cast<double>(kNaN), -0.5, std::nextafter(360.0, 400.0)})
        EXPECT_EQ(eightWaySector(outside), kCentredSector) << outside;
}

TEST(EightWaySector, BearingIsACompassAngle) {
    struct Case {
        float x, y;
        double bearing;
    };
    constexpr Case cases[] = {
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

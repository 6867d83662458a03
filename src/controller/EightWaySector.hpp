#pragma once

#include <array>

#include "model/Direction.hpp"

namespace joywright {

// One sector of an eight-way stick: bearings from `from` (inclusive) to `to` (exclusive), in
// compass degrees (0 up, 90 right, 180 down, 270 left). Sector 1 wraps through 0 and also takes
// 360 itself.
struct EightWaySector {
    int number;
    double from;
    double to;
    DirectionSet directions;
};

inline constexpr std::array<EightWaySector, 8> kEightWaySectors{{
    {1, 337.5, 22.5, {Direction::up}},
    {2, 22.5, 67.5, {Direction::up, Direction::right}},
    {3, 67.5, 112.5, {Direction::right}},
    {4, 112.5, 157.5, {Direction::down, Direction::right}},
    {5, 157.5, 202.5, {Direction::down}},
    {6, 202.5, 247.5, {Direction::down, Direction::left}},
    {7, 247.5, 292.5, {Direction::left}},
    {8, 292.5, 337.5, {Direction::up, Direction::left}},
}};

// Sector 0: the stick is centred (or its bearing is not a number); no direction.
inline constexpr int kCentredSector = 0;

// atan2(x, y) in degrees, computed in double and moved into 0...360: the compass bearing of a
// stick position (positive x right, positive y up). Not a number when x or y is not.
double compassBearing(float x, float y);

// The sector of a bearing in 0...360; 0 for anything else (including not a number).
int eightWaySector(double bearing);

// The directions of a sector number (0...8); empty for 0 and for unknown numbers.
DirectionSet sectorDirections(int sector);

}  // namespace joywright

#include "controller/EightWaySector.hpp"

#include <cmath>
#include <numbers>

namespace joywright {

double compassBearing(float x, float y) {
    double degrees =
        std::atan2(static_cast<double>(x), static_cast<double>(y)) * 180.0 / std::numbers::pi;
    if (degrees < 0.0) degrees += 360.0;
    return degrees;
}

int eightWaySector(double bearing) {
    if (!(bearing >= 0.0 && bearing <= 360.0)) return kCentredSector;
    for (const auto& sector : kEightWaySectors) {
        const bool wraps = sector.from > sector.to;
        const bool inside = wraps ? (bearing >= sector.from || bearing < sector.to)
                                  : (bearing >= sector.from && bearing < sector.to);
        if (inside) return sector.number;
    }
    return kCentredSector;
}

DirectionSet sectorDirections(int sector) {
    for (const auto& row : kEightWaySectors)
        if (row.number == sector) return row.directions;
    return {};
}

}  // namespace joywright

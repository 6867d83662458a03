#pragma once

namespace joywright {

// A position in global display coordinates, y growing downwards, in points.
struct Point {
    double x = 0;
    double y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Vector {
    double dx = 0;
    double dy = 0;
    friend bool operator==(const Vector&, const Vector&) = default;
};

// An axis-aligned rectangle in global display coordinates; contains x in [x, x + width).
struct Rect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    double minX() const { return x; }
    double minY() const { return y; }
    double maxX() const { return x + width; }
    double maxY() const { return y + height; }
    bool contains(Point p) const { return p.x >= x && p.x < maxX() && p.y >= y && p.y < maxY(); }

    friend bool operator==(const Rect&, const Rect&) = default;
};

// The values lowerBound...upperBound, both included.
struct ClosedRange {
    double lowerBound = 0;
    double upperBound = 0;

    // Below the lower bound gives the lower bound; at or above the upper bound the upper bound.
    double clamp(double value) const {
        if (value < lowerBound) return lowerBound;
        if (value >= upperBound) return upperBound;
        return value;
    }
    bool contains(double value) const { return value >= lowerBound && value <= upperBound; }

    friend bool operator==(const ClosedRange&, const ClosedRange&) = default;
};

}  // namespace joywright

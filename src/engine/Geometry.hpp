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

}  // namespace joywright

#pragma once

namespace bindings {

// A point or direction in the scene: what a Vector3D holds, as plain values.
struct Point {
    double X = 0;
    double Y = 0;
    double Z = 0;

    bool operator==(const Point&) const = default;
};

constexpr Point operator+(const Point& a, const Point& b) { return { a.X + b.X, a.Y + b.Y, a.Z + b.Z }; }
constexpr Point operator-(const Point& a, const Point& b) { return { a.X - b.X, a.Y - b.Y, a.Z - b.Z }; }
constexpr Point operator/(const Point& p, double divisor) { return { p.X / divisor, p.Y / divisor, p.Z / divisor }; }

}

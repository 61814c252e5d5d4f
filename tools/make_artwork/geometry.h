#pragma once

// Plane geometry for the artwork. Only + - * / and sqrt are used anywhere in the
// drawing code: IEEE-754 rounds those exactly, so the committed pictures come out
// byte for byte the same on every machine (sin, exp and pow may differ in the
// last bit between C libraries).

#include <algorithm>
#include <cmath>

namespace quillmark::artwork {

struct Vec2 {
    double x = 0;
    double y = 0;
};

inline Vec2 operator+(Vec2 a, Vec2 b) {
    return {a.x + b.x, a.y + b.y};
}
inline Vec2 operator-(Vec2 a, Vec2 b) {
    return {a.x - b.x, a.y - b.y};
}
inline Vec2 operator*(Vec2 a, double k) {
    return {a.x * k, a.y * k};
}
inline double dot(Vec2 a, Vec2 b) {
    return a.x * b.x + a.y * b.y;
}
inline double cross(Vec2 a, Vec2 b) {
    return a.x * b.y - a.y * b.x;
}
inline double length(Vec2 a) {
    return std::sqrt(dot(a, a));
}

inline double clamp01(double v) {
    return std::clamp(v, 0.0, 1.0);
}
inline double mix(double a, double b, double t) {
    return a + (b - a) * t;
}
inline Vec2 mix(Vec2 a, Vec2 b, double t) {
    return a + (b - a) * t;
}

// 0 below edge0, 1 above edge1, a smooth cubic in between.
inline double smoothstep(double edge0, double edge1, double v) {
    const double t = clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

// Distance from p to the segment a-b.
inline double segmentDistance(Vec2 p, Vec2 a, Vec2 b) {
    const Vec2 ab = b - a;
    const double t = std::clamp(dot(p - a, ab) / dot(ab, ab), 0.0, 1.0);
    return length(p - (a + ab * t));
}

// Signed distance to an axis-aligned box with rounded corners (negative inside).
inline double roundedBoxDistance(Vec2 p, Vec2 centre, Vec2 halfSize, double radius) {
    const double qx = std::abs(p.x - centre.x) - halfSize.x + radius;
    const double qy = std::abs(p.y - centre.y) - halfSize.y + radius;
    const double outside = length({std::max(qx, 0.0), std::max(qy, 0.0)});
    return outside + std::min(std::max(qx, qy), 0.0) - radius;
}

// Point on the quadratic Bézier curve a-b-c at parameter t.
inline Vec2 quadraticPoint(Vec2 a, Vec2 b, Vec2 c, double t) {
    return mix(mix(a, b, t), mix(b, c, t), t);
}

} // namespace quillmark::artwork

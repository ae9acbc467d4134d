#pragma once

#include <cmath>

// A plain triple for the walker's arithmetic: a position or a displacement in world
// coordinates (Y up), copied freely and never allocated. math's Vec3 keeps a cached length
// through every change, which the many small sums of a movement step do not need.
struct Float3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    float operator[](int axis) const { return axis == 0 ? x : axis == 1 ? y : z; }
    float& operator[](int axis) { return axis == 0 ? x : axis == 1 ? y : z; }
};

inline Float3 operator+(Float3 a, Float3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Float3 operator-(Float3 a, Float3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Float3 operator*(Float3 a, float f) { return {a.x * f, a.y * f, a.z * f}; }
inline float dot(Float3 a, Float3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Float3 cross(Float3 a, Float3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float length(Float3 a) { return std::sqrt(dot(a, a)); }
inline Float3 normalized(Float3 a)
{
    const float l = length(a);
    return l > 0.0f ? a * (1.0f / l) : a;
}
inline bool isFinite(Float3 a) { return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z); }

#pragma once

#include "math/Vec3.h"

// A bare single-precision position in world coordinates (Y up); keeps no length.
class Point {
public:
    Point() = default;
    Point(float x, float y, float z) : x(x), y(y), z(z) {}
    Point(const Point&) = default;
    Point& operator=(const Point&) = default;
    virtual ~Point() = default;

    float getX() const { return x; }
    float getY() const { return y; }
    float getZ() const { return z; }
    void setX(float value) { x = value; }
    void setY(float value) { y = value; }
    void setZ(float value) { z = value; }

    void addY(float amount) { y += amount; }
    void subtract(const Vec3& v);

private:
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

#include "math/Vec3.h"

#include <cmath>

Vec3::Vec3(float x, float y, float z) : x(x), y(y), z(z) { updateLength(); }

void Vec3::setX(float value) { x = value; updateLength(); }
void Vec3::setY(float value) { y = value; updateLength(); }
void Vec3::setZ(float value) { z = value; updateLength(); }

void Vec3::updateLength()
{
    // The sum of squares is rounded to single precision before the root is taken.
    const float sumOfSquares = x * x + y * y + z * z;
    cachedLength = std::sqrt(sumOfSquares);
}

Vec3 Vec3::scaled(float factor) const { return Vec3(x * factor, y * factor, z * factor); }

Vec3 Vec3::plus(const Vec3& other) const { return Vec3(other.x + x, other.y + y, other.z + z); }

Vec3 Vec3::minus(const Vec3& other) const { return Vec3(x - other.x, y - other.y, z - other.z); }

Vec3 Vec3::cross(const Vec3& other) const
{
    return Vec3(y * other.z - other.y * z, other.x * z - x * other.z, other.y * x - y * other.x);
}

void Vec3::normalize()
{
    if (cachedLength == 0.0f)
        return;
    x /= cachedLength;
    y /= cachedLength;
    z /= cachedLength;
    updateLength();
}

bool Vec3::isInsideBox(const Vec3& min, const Vec3& max) const
{
    const double px = x, py = y, pz = z;
    return double(min.x) < px && px < double(max.x) && double(min.y) < py && py < double(max.y)
        && double(min.z) < pz && pz < double(max.z);
}

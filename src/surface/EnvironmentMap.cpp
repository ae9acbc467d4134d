#include "surface/EnvironmentMap.h"

#include <cmath>

namespace {
using Vector = std::array<float, 3>;

float dot(const Vector& a, const Vector& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Unit length; false for a zero vector.
bool normalize(Vector& v)
{
    const float length = std::sqrt(dot(v, v));
    if (!(length > 0.0f))
        return false;
    for (float& c : v)
        c /= length;
    return true;
}
} // namespace

std::array<float, 2> EnvironmentMap::texCoord(const Vector& eye, const Vector& position, const Vector& normal)
{
    Vector toEye{eye[0] - position[0], eye[1] - position[1], eye[2] - position[2]};
    Vector n = normal;
    if (!normalize(toEye) || !normalize(n))
        return {0.5f, 0.5f};
    const float along = 2.0f * dot(n, toEye);
    const Vector reflected{n[0] * along - toEye[0], n[1] * along - toEye[1], n[2] * along - toEye[2]};
    return {0.5f - 0.5f * reflected[2], 0.5f - 0.5f * reflected[1]};
}

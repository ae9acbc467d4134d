#include "surface/VertexDeform.h"

#include "surface/Oscillator.h"

#include <cmath>

namespace {
using Vector = VertexDeform::Vector;
constexpr double twoPi = 6.283185307179586;
constexpr double rippleLength = 256.0; // units of position per cycle of deformVertexes normal

Vector scaled(const Vector& v, float factor) { return {v[0] * factor, v[1] * factor, v[2] * factor}; }

// The sum of the file's coordinates (x, y, z) = world (x, -z, y).
double fileCoordinateSum(const Vector& world) { return double(world[0]) - world[2] + world[1]; }
} // namespace

Vector VertexDeform::offset(const Material::Deform& deform, const Vector& position, const Vector& normal, float s,
                            double seconds)
{
    switch (deform.kind) {
    case DeformKind::wave: {
        const double spread = deform.spread != 0.0f ? fileCoordinateSum(position) / deform.spread : 0.0;
        return scaled(normal, Oscillator::value(deform.wave, seconds, spread));
    }
    case DeformKind::move:
        return scaled(deform.vector, Oscillator::value(deform.wave, seconds));
    case DeformKind::bulge: {
        const double angle = double(deform.bulgeWidth) * s + double(deform.bulgeSpeed) * seconds;
        return scaled(normal, deform.bulgeHeight * float(std::sin(angle)));
    }
    default:
        return {0.0f, 0.0f, 0.0f};
    }
}

Vector VertexDeform::normal(const Material::Deform& deform, const Vector& position, const Vector& normal,
                            double seconds)
{
    if (deform.kind != DeformKind::normal)
        return normal;
    Vector tilted = normal;
    for (std::size_t axis = 0; axis < 3; ++axis) {
        const double cycles = double(deform.wave.frequency) * seconds + position[axis] / rippleLength;
        tilted[axis] += deform.wave.amplitude * float(std::sin(twoPi * (cycles - std::floor(cycles))));
    }
    const float length = std::sqrt(tilted[0] * tilted[0] + tilted[1] * tilted[1] + tilted[2] * tilted[2]);
    return length > 0.0f ? scaled(tilted, 1.0f / length) : normal;
}

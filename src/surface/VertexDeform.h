#pragma once

#include "level/Material.h"

#include <array>

// deformVertexes wave, move, bulge and normal for one vertex at one time, world coordinates
// (Y up). wave moves the vertex along its normal by the wave's value, the phase shifted by the
// sum of its file coordinates over the spread (so a wave runs across the surface); move moves it
// along the vector by the wave's value; bulge along its normal by height x sin(width x s +
// speed x seconds), s its texture coordinate; normal (an approximation) tilts the normal by
// amplitude x sin(2 pi (frequency x seconds + coordinate / 256)) on each axis, so lighting and
// reflections ripple. autosprite and autosprite2 work on whole quads (surface/Autosprite).
class VertexDeform {
public:
    using Vector = std::array<float, 3>;

    // How far the vertex moves; zero for normal and the sprites.
    static Vector offset(const Material::Deform& deform, const Vector& position, const Vector& normal, float s,
                         double seconds);
    // The vertex's normal after the deform, unit length for normal; as given for the others.
    static Vector normal(const Material::Deform& deform, const Vector& position, const Vector& normal,
                         double seconds);
};

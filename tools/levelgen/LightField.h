#pragma once

#include "Plan.h"
#include "PlanLights.h"

#include <array>
#include <cstdint>
#include <vector>

// The light that the plan's lights give to points of the level, in file coordinates.
// Light 1 shows a surface in its picture's own colours.
//
// Each light is a point: what it gives falls with distance d as I^2 / (I^2 + d^2)
// (I = lightIntensity, so half at d = I), scaled by Lambert's cosine with the surface
// normal and by 1 - d^2 / reach^2, so that it ends at `reach` and far lights need no
// shadow test. Walls are
// full-height columns, so a light is hidden from a point exactly when the segment between
// them, seen from above, passes through a solid cell; pillars, arches and objects cast no
// shadow. A small ambient term keeps every surface above black.
using Light = std::array<float, 3>; // red, green, blue

class LightField {
public:
    static constexpr float ambient = 0.25f;    // every surface gets at least this
    static constexpr float nearLight = 2.5f;   // what a light gives right beside it, face on
    static constexpr float reachFactor = 6.0f; // lights reach reachFactor * lightIntensity units

    explicit LightField(const Plan& plan);

    // The light at a surface point with unit normal `normal`; with bothSides, light from
    // behind the surface counts as if from the front.
    Light at(Vector3 point, Vector3 normal, bool bothSides) const;

    // Whether a solid cell lies between the two points, seen from above. Points on the
    // boundary of a solid cell are not inside it.
    bool blocked(Vector3 from, Vector3 to) const;

private:
    const Plan& plan;
    std::vector<LightSource> lights;
    float reach;
};

// A light as an 8-bit channel value at a quarter of its range, as levels store light: v means
// light 4v / 255. Lights beyond 4 are scaled down together, keeping their hue, before they are
// stored.
std::array<uint8_t, 3> quarterRange(const Light& light);

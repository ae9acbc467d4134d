#include "inspection/FacePicker.h"

#include "level/FaceTriangles.h"

#include <cmath>
#include <limits>

namespace {
Float3 positionOf(const Vertex& vertex) { return {vertex.position[0], vertex.position[1], vertex.position[2]}; }

// The distance along the unit `direction` at which it meets triangle (a, b, c), either side;
// nothing when it misses or meets it behind the origin.
std::optional<float> meets(Float3 origin, Float3 direction, Float3 a, Float3 b, Float3 c)
{
    constexpr float parallel = 1e-9f;
    const Float3 ab = b - a;
    const Float3 ac = c - a;
    const Float3 across = cross(direction, ac);
    const float determinant = dot(ab, across);
    if (std::fabs(determinant) < parallel)
        return std::nullopt;
    const float inverse = 1.0f / determinant;
    const Float3 fromA = origin - a;
    const float u = dot(fromA, across) * inverse;
    if (u < 0.0f || u > 1.0f)
        return std::nullopt;
    const Float3 up = cross(fromA, ab);
    const float v = dot(direction, up) * inverse;
    if (v < 0.0f || u + v > 1.0f)
        return std::nullopt;
    const float distance = dot(ac, up) * inverse;
    if (!(distance > 0.0f))
        return std::nullopt;
    return distance;
}

struct Nearest {
    Float3 origin;
    Float3 direction;
    FacePicker::Hit hit;
    float best = std::numeric_limits<float>::infinity();

    void consider(int face, Float3 a, Float3 b, Float3 c)
    {
        if (const std::optional<float> distance = meets(origin, direction, a, b, c); distance && *distance < best) {
            best = *distance;
            hit = {face, origin + direction * *distance, *distance};
        }
    }
};
} // namespace

std::optional<FacePicker::Hit> FacePicker::pick(const LevelData& level, Float3 origin, Float3 direction)
{
    Nearest nearest{origin, normalized(direction), {}};
    for (std::size_t f = 0; f < level.faces.size(); ++f)
        FaceTriangles::forEach(level, level.faces[f], [&](const Vertex& a, const Vertex& b, const Vertex& c) {
            nearest.consider(int(f), positionOf(a), positionOf(b), positionOf(c));
        });
    if (nearest.hit.face < 0)
        return std::nullopt;
    return nearest.hit;
}

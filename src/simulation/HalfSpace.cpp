#include "simulation/HalfSpace.h"

#include <cmath>

// A compiler writes unit normals; anything else (not a number, a zero or a huge normal) would
// throw a box at infinite speed off the plane.
static bool isSide(const Plane& plane)
{
    const float length = plane.normal.length();
    return std::isfinite(plane.distance) && std::isfinite(length) && std::abs(length - 1.0f) < 0.01f;
}

bool HalfSpace::appendBrush(const LevelData& level, int32_t index, Float3 offset, std::vector<HalfSpace>& sides)
{
    const Brush& brush = level.brushes[std::size_t(index)];
    if (brush.sideCount <= 0 || brush.firstSide < 0
        || int64_t(brush.firstSide) + brush.sideCount > int64_t(level.brushSides.size()))
        return false;
    for (int32_t s = brush.firstSide; s < brush.firstSide + brush.sideCount; ++s) {
        const int32_t plane = level.brushSides[std::size_t(s)].plane;
        if (plane < 0 || std::size_t(plane) >= level.planes.size() || !isSide(level.planes[std::size_t(plane)]))
            return false;
    }
    for (int32_t s = brush.firstSide; s < brush.firstSide + brush.sideCount; ++s) {
        const Plane& plane = level.planes[std::size_t(level.brushSides[std::size_t(s)].plane)];
        const Float3 normal{plane.normal.getX(), plane.normal.getY(), plane.normal.getZ()};
        sides.push_back({normal, plane.distance + dot(normal, offset)});
    }
    return true;
}

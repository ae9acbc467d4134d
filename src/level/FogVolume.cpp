#include "level/FogVolume.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
float dot(const Vec3& normal, const std::array<float, 3>& point)
{
    return normal.getX() * point[0] + normal.getY() * point[1] + normal.getZ() * point[2];
}

// Where an axis-aligned plane bounds the box: normal (+1 or -1 on one axis) . p <= distance.
void boundBox(const Plane& plane, std::array<float, 3>& mins, std::array<float, 3>& maxs)
{
    const float n[3] = {plane.normal.getX(), plane.normal.getY(), plane.normal.getZ()};
    for (int axis = 0; axis < 3; ++axis) {
        const bool alongAxis = n[(axis + 1) % 3] == 0.0f && n[(axis + 2) % 3] == 0.0f;
        if (alongAxis && n[axis] == 1.0f)
            maxs[std::size_t(axis)] = std::min(maxs[std::size_t(axis)], plane.distance);
        else if (alongAxis && n[axis] == -1.0f)
            mins[std::size_t(axis)] = std::max(mins[std::size_t(axis)], -plane.distance);
    }
}
} // namespace

std::vector<FogVolume> FogVolume::allOf(const LevelData& level)
{
    std::vector<FogVolume> volumes;
    for (std::size_t i = 0; i < level.effects.size(); ++i) {
        const Effect& effect = level.effects[i];
        if (effect.brush < 0)
            continue;
        FogVolume volume;
        volume.effect = int32_t(i);
        volume.material = effect.material;
        volume.visibleSide = effect.visibleSide;
        volume.mins.fill(-std::numeric_limits<float>::infinity());
        volume.maxs.fill(std::numeric_limits<float>::infinity());
        const Brush& brush = level.brushes[std::size_t(effect.brush)];
        for (int32_t side = 0; side < brush.sideCount; ++side) {
            const Plane& plane = level.planes[std::size_t(level.brushSides[std::size_t(brush.firstSide + side)].plane)];
            volume.planes.push_back(plane);
            boundBox(plane, volume.mins, volume.maxs);
        }
        volumes.push_back(std::move(volume));
    }
    return volumes;
}

bool FogVolume::contains(const std::array<float, 3>& point) const
{
    return std::all_of(planes.begin(), planes.end(),
        [&](const Plane& plane) { return dot(plane.normal, point) <= plane.distance; });
}

// Clips the segment's parameter range [0, 1] against each plane in turn.
float FogVolume::lengthInside(const std::array<float, 3>& from, const std::array<float, 3>& to) const
{
    float enter = 0.0f;
    float leave = 1.0f;
    for (const Plane& plane : planes) {
        const float start = dot(plane.normal, from) - plane.distance; // > 0: outside this plane
        const float end = dot(plane.normal, to) - plane.distance;
        if (start > 0.0f && end > 0.0f)
            return 0.0f;
        if (start > 0.0f)
            enter = std::max(enter, start / (start - end));
        else if (end > 0.0f)
            leave = std::min(leave, start / (start - end));
        if (enter >= leave)
            return 0.0f;
    }
    const float dx = to[0] - from[0];
    const float dy = to[1] - from[1];
    const float dz = to[2] - from[2];
    return (leave - enter) * std::sqrt(dx * dx + dy * dy + dz * dz);
}

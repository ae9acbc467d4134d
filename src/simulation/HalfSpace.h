#pragma once

#include "level/LevelData.h"
#include "math/Float3.h"

#include <cstdint>
#include <vector>

// One side of a brush: a plane and the space in front of it. A brush is what lies behind every
// one of its planes, so a box overlaps it when, for each plane, the box's corner deepest behind
// that plane is behind it. World coordinates (Y up), units.
struct HalfSpace {
    Float3 normal; // out of the brush
    float distance;

    // The corner of a box (`mins` to `maxs`, around a point) deepest behind a plane facing `normal`.
    static Float3 backCorner(Float3 normal, Float3 mins, Float3 maxs)
    {
        return {normal.x < 0.0f ? maxs.x : mins.x, normal.y < 0.0f ? maxs.y : mins.y, normal.z < 0.0f ? maxs.z : mins.z};
    }

    // Appends the sides of brush `index` (within the level's brushes), moved by `offset`; false,
    // appending nothing, when it has no sides, a side or plane index lies outside the level, or
    // a plane is no unit direction.
    static bool appendBrush(const LevelData& level, int32_t index, Float3 offset, std::vector<HalfSpace>& sides);
};

#pragma once

#include "level/LevelData.h"
#include "level/Plane.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// A fog volume as the renderer needs it, without GL: the material that gives the fog its
// colour and depth, and the convex brush that bounds it as planes facing out of it, Y up as
// everything in LevelData (a point p is inside when normal . p <= distance for every plane).
class FogVolume {
public:
    // One per effect the loader kept, in effect order.
    static std::vector<FogVolume> allOf(const LevelData& level);

    // The length of the segment from `from` to `to` that runs inside the volume, in units.
    float lengthInside(const std::array<float, 3>& from, const std::array<float, 3>& to) const;
    bool contains(const std::array<float, 3>& point) const;

    int32_t effect = -1; // index into LevelData::effects; faces with this effect lie in the fog
    std::string material;
    std::vector<Plane> planes;
    int32_t visibleSide = -1; // index into planes of the side showing the fog's surface; -1 for none
    // The box its axis-aligned sides make (compiled brushes always have all six); a side the
    // brush lacks is left at infinity.
    std::array<float, 3> mins{};
    std::array<float, 3> maxs{};
};

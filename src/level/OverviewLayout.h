#pragma once

#include "level/EntityText.h"
#include "level/LevelData.h"

#include <vector>

class MaterialLibrary;

// What a map of the level seen from straight above shows, in map coordinates: the file's axes,
// x east, y north and z the height. The world's faces (model 0's; every face when its range is
// unreadable) are split triangle by triangle into ground, which faces up (floors, ramps, the tops
// of things) and is shaded by its height, and walls, steep faces kept as their edges; faces
// that turn down (ceilings) are left out so the ground under them shows. Curved surfaces count
// by their control grids. Sky and nodraw surfaces, never seen, are left out too. The inline
// models with faces (doors, lifts, platforms) are outlined by their boxes where they rest.
struct OverviewLayout {
    enum class Facing { ground, wall, ceiling, none }; // none: no area, or not a finite triangle

    struct MapVertex {
        float east = 0.0f, north = 0.0f, height = 0.0f;
        float shade = 0.0f; // ground: 0 on the lowest ground, 1 on the highest, 0.5 when all is level
    };
    struct Box {
        float west = 0.0f, east = 1.0f, south = 0.0f, north = 1.0f, low = 0.0f, high = 1.0f;
    };

    Box box;                         // model 0's, else the drawn triangles'; never empty on any axis
    std::vector<MapVertex> ground;   // triangles, three vertices each
    std::vector<MapVertex> walls;    // line segments, two vertices each
    std::vector<MapVertex> brushEntities; // their boxes' outlines at rest: line segments, at their tops
    std::vector<PlayerStart> starts; // in entity order; origins in file coordinates

    // `materials` (may be null) names the surfaces scripts mark sky or nodraw.
    static OverviewLayout of(const LevelData& level, const MaterialLibrary* materials);

    // A triangle's facing, from its corners in map coordinates: ground when its normal lies
    // within 60 degrees of straight up, ceiling within 60 degrees of straight down, else wall.
    // Which side is its front comes from `normal` (the stored vertex normals added up), or from
    // the clockwise winding the level format draws when those are zero.
    static Facing facing(const float a[3], const float b[3], const float c[3], const float normal[3]);
};

#pragma once

#include "level/EntityText.h"
#include "level/LevelData.h"
#include "math/Vec3.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// An inline model (models[1..]: doors, lifts, platforms, detail) with the entity that names it
// ("model" "*N"), as it stands at rest. A compiler keeps the faces of a model whose entity has
// an "origin" around the model's own origin, so at rest they stand moved by that origin;
// without one they are stored where they stand. The world box is the model's box moved the same
// way.
struct BrushEntity {
    // A box coordinate that is not a number makes the box this large on every axis: culling a
    // model by a box it cannot read would hide it.
    static constexpr float unreadableExtent = 1.0e30f;

    std::size_t model = 0;  // index into LevelData::models, 1 and up
    std::string className;  // of the first entity naming the model; "" when none does
    int32_t firstFace = 0;  // checked: the range lies within the level's faces
    int32_t faceCount = 0;  // at least 1
    Vec3 origin;            // world (Y up); zero when the model is not placed
    Vec3 low;               // the world box, origin added, each axis sorted
    Vec3 high;

    bool placed() const { return origin.getX() != 0.0f || origin.getY() != 0.0f || origin.getZ() != 0.0f; }

    // The inline models that have faces, in model order. A model whose faces lie outside the
    // level is left out, and one whose entity's origin is not three numbers is not placed, each
    // with one line in `notices` naming `levelName`.
    static std::vector<BrushEntity> list(const LevelData& level, const std::vector<Entity>& entities,
                                         const std::string& levelName, std::vector<std::string>& notices);

    // Moves the vertices of each placed entity by its origin, so that the level's vertices stand
    // where the level is drawn at rest: the span from its faces' first vertex to their last, each
    // vertex once. Spans beyond the level's vertex count in all are left where they are stored,
    // with one line in `notices`: a compiled level's models never share vertices. Before the
    // patches are cut from the vertices.
    static void placeAtRest(LevelData& level, const std::vector<BrushEntity>& entities, const std::string& levelName,
                            std::vector<std::string>& notices);
};

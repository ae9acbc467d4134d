#pragma once

#include "Geometry.h"
#include "PlanEntities.h"

#include <vector>

// The faces of the plan's brush entities: a door across its doorway, a lift's platform and a
// fan's hub and two crossed blades, each model's faces after the world's (so no leaf lists
// them) and after the previous model's. Faces are built where the model stands, so its light is
// baked there; a placed model's are then moved to stand around its own origin.
struct Box {
    Vector3 low;
    Vector3 high;
};

struct BrushModel {
    int32_t firstFace = 0;
    int32_t faceCount = 0;
    std::vector<Box> boxes; // its solid parts, where it stands in the level (file coordinates)
};

struct BrushTextures {
    int door = 0;
    int lift = 0;
    int fan = 0;
};

std::vector<BrushModel> addBrushModelFaces(const Plan& plan, const std::vector<PlanBrushEntity>& entities,
                                           const BrushTextures& textures, Geometry& geometry);

// A button shape's model: its box, drawn on every side but the bottom (it lies on a floor),
// its faces where it stands (a button is not placed) and after those already built.
BrushModel addButtonFaces(const PlanShape& shape, int texture, Geometry& geometry);

// After lighting: each placed model's vertices (and lightmap origins) moved by minus its origin.
void storeAroundOrigins(const std::vector<PlanBrushEntity>& entities, const std::vector<BrushModel>& models,
                        Level& level);

// A box moved by `offset`.
Box moved(const Box& box, Vector3 offset);

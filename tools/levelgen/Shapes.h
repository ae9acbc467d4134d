#pragma once

#include "Geometry.h"
#include "Plan.h"

#include <cstdint>
#include <vector>

// What a plan's shapes become in the level: the planes of each one's brush and the faces that
// show it. File coordinates, Z up. Contents are the format's flags, written in each brush's
// texture record so that a walker knows what blocks. A trigger volume's brush is solid, as
// compilers write it; its entity's class, not its contents, says that it is only touched.
constexpr int32_t playerClipContents = 0x10000;
constexpr const char* triggerTextureName = "textures/common/trigger";

struct ShapePlane {
    Vector3 normal; // out of the solid
    float distance = 0.0f;
};

// A volume that acts on whoever touches it (pad, teleporter, hurt, trigger): one brush, no faces.
bool isTriggerShape(ShapeKind kind);

// A brush entity of its own rather than part of the world: the trigger volumes and the button.
bool isModelShape(ShapeKind kind);

// The planes whose inside is the shape's solid; a ramp's also bound its box (bevels, which add
// no face but keep a swept box from catching on the wedge's edges). Empty for a curve, which
// collides as its patch.
std::vector<ShapePlane> shapePlanes(const PlanShape& shape);

// The shape's drawn faces in `texture` (none for clips and triggers; a water volume's top
// only; a button's are its model's, see BrushModels.h). A face on the floor (z 0) is left out.
void addShapeFaces(const PlanShape& shape, int texture, Geometry& geometry);

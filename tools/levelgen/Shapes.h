#pragma once

#include "Geometry.h"
#include "Plan.h"

#include <cstdint>
#include <vector>

// What a plan's shapes become in the level: the planes of each one's brush and the faces that
// show it. File coordinates, Z up. Contents are the format's flags, written in each brush's
// texture record so that a walker knows what blocks and what only touches.
constexpr int32_t playerClipContents = 0x10000;
constexpr int32_t triggerContents = 0x40000000;

struct ShapePlane {
    Vector3 normal; // out of the solid
    float distance = 0.0f;
};

// A brush entity of its own (pad, teleporter, hurt) rather than part of the world.
bool isTriggerShape(ShapeKind kind);

// The planes whose inside is the shape's solid; a ramp's also bound its box (bevels, which add
// no face but keep a swept box from catching on the wedge's edges). Empty for a curve, which
// collides as its patch.
std::vector<ShapePlane> shapePlanes(const PlanShape& shape);

// The shape's drawn faces in `texture` (none for clips and triggers; a water volume's top
// only). A face on the floor (z 0) is left out.
void addShapeFaces(const PlanShape& shape, int texture, Geometry& geometry);

#pragma once

#include "Level.h"
#include "Plan.h"

#include <vector>

// Bakes the plan's lights into a level whose faces and vertices are complete.
//
// Polygon faces that take a lightmap get one texel about every luxelSpacing units of the
// face, plus a one-texel border copied from the edge so that bilinear filtering never
// reaches a neighbour's texels; vertices get lightmap coordinates at texel centres. The
// rectangles are shelf-packed onto lightmapSide x lightmapSide pages, tallest first.
// Every other face gets lightmap index -1 and, where lit, the light at its vertices as
// vertex colours. Both are stored at a quarter of their range (see LightField).
enum class FaceLighting {
    Lightmap,          // one-sided: light from behind the face does not count
    LightmapBothSides, // seen from both sides, so lit from both
    VertexColours,     // meshes, patches, billboards
    Unlit,             // drawn at full brightness or not drawn at all: white vertices, no lightmap
};

constexpr float luxelSpacing = 16.0f; // units between texel centres, unless the face is too large for a page

// lighting holds one entry per face of the level.
void bakeLighting(const Plan& plan, const std::vector<FaceLighting>& lighting, Level& level);

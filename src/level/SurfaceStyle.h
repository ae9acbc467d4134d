#pragma once

#include "level/Material.h"
#include "level/MaterialPasses.h"

#include <cstdint>

// How a level texture's faces are drawn in the designed frame, from the texture record's
// surface flags and the material a script gives its name (if any): whether they are drawn at
// all, in which pass, with which alpha test and blend, on both sides or one, and lit how.
struct SurfaceStyle {
    enum class Pass : uint8_t { opaque, alphaTested, blended }; // drawn in this order

    // false for sky, nodraw and fog surfaces: the sky box shows through sky, and a fog
    // volume's surface is never drawn with an image
    bool drawn = true;
    bool sky = false;
    Pass pass = Pass::opaque;
    AlphaFunction alphaFunction = AlphaFunction::always;
    Material::Blend blend;   // the first stage's: how the surface meets what is behind it
    Culling culling = Culling::frontSided; // patches are drawn from both sides whatever it says
    bool polygonOffset = false;
    // Whether the level's lightmap lights the surface. A material says so with a $lightmap
    // stage; a surface without a material takes its lightmap whenever it names one. A material
    // without one (a glowing panel, say) is shown at full brightness.
    bool takesLightmap = true;
    float sort = Material::Sort::opaque; // within a pass, styles draw in this order (Material::drawOrder)
    // Drawn from vertices worked out every frame (MaterialPasses::needsFrameVertices).
    bool frameVertices = false;

    static SurfaceStyle of(int32_t surfaceFlags, const Material* material);

    bool operator<(const SurfaceStyle& other) const; // pass first, so sorted styles draw in pass order
    bool operator==(const SurfaceStyle& other) const;
};

#pragma once

#include "level/Material.h"
#include "level/MaterialPasses.h"

#include <cstdint>

// How a level texture's faces are drawn in the designed frame, from the texture record's
// surface flags and the material a script gives its name (if any): whether they are drawn at
// all, in which phase of the frame, with which alpha test and blend, on both sides or one, and lit how.
struct SurfaceStyle {
    // The frame draws every opaque surface, then every alpha-tested one, then every blended one.
    enum class Phase : uint8_t { opaque, alphaTested, blended };
    // Why the faces are not drawn as surfaces, read from the record's flags first, then its
    // material: the sky shows through sky surfaces, nodraw ones show nothing, and a fog
    // material without drawing stages is only the haze of what lies behind it (with stages,
    // water or lava, its surface is drawn like any other and its volume still hazes).
    // levelinfo's report of what is not drawn reads this too, so it follows the drawing.
    enum class Hidden : uint8_t { no, sky, nodrawRecord, nodrawMaterial, fog };

    Hidden hidden = Hidden::no;
    bool drawn = true;  // hidden == Hidden::no
    bool sky = false;   // hidden == Hidden::sky
    Phase phase = Phase::opaque;
    AlphaFunction alphaFunction = AlphaFunction::always;
    Material::Blend blend;   // the first stage's: how the surface meets what is behind it
    Culling culling = Culling::frontSided; // patches are drawn from both sides whatever it says
    bool polygonOffset = false;
    // Whether the level's lightmap lights the surface. A material says so with a $lightmap
    // stage; a surface without a material takes its lightmap whenever it names one. A material
    // without one (a glowing panel, say) is shown at full brightness.
    bool takesLightmap = true;
    float sort = Material::Sort::opaque; // within a phase, styles draw in this order (Material::drawOrder)
    // Drawn from vertices worked out every frame (MaterialPasses::needsFrameVertices).
    bool frameVertices = false;

    static SurfaceStyle of(int32_t surfaceFlags, const Material* material);

    bool operator<(const SurfaceStyle& other) const; // phase first, so sorted styles draw in phase order
    bool operator==(const SurfaceStyle& other) const;
};

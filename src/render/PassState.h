#pragma once

#include "level/Material.h"
#include "level/SurfaceStyle.h"

// The GL state a material's stage sets that every drawing of stages shares (the level's passes,
// the sky's cloud layers, the fog's haze): blending, the alpha test, and which sides of a group's
// faces are drawn.
class PassState {
public:
    static void applyBlend(const Material::Blend& blend);
    static void applyAlphaFunction(AlphaFunction function);
    // Patches are drawn from both sides whatever their material says.
    static void applyCulling(const SurfaceStyle& style, bool patch);
};

#pragma once

#include "level/Material.h"
#include "level/SurfaceStyle.h"

// The GL state a material's stage sets that every drawing of stages shares (the level's passes,
// the sky's cloud layers and near box, the fog's haze): blending, the alpha test, which sides of a
// group's faces are drawn, and the state every layer drawn over the sky after the opaque faces
// shares.
class PassState {
public:
    static void applyBlend(const Material::Blend& blend);
    static void applyAlphaFunction(AlphaFunction function);
    // Patches are drawn from both sides whatever their material says.
    static void applyCulling(const SurfaceStyle& style, bool patch);
    // The sky's layers drawn after the opaque faces (cloud layers, near box) lie at the far end of
    // the depth range with the depth test on and no depth writes, so they fill only the pixels no
    // face covers; turned with the view but never moved. The first sets unit 0 texturing alone,
    // modulating, with an identity texture matrix, no culling or polygon offset, and pushes the
    // rotation-only view; the second pops it and restores the full depth range, the identity
    // texture matrix and white, leaving blending and the alpha test as the next pass sets them.
    static void beginSkyLayers();
    static void endSkyLayers();
};

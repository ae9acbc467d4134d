#pragma once

#include "level/Material.h"

// The GL state a material's stage sets that every drawing of stages shares (the level's passes,
// the sky's cloud layers): blending and the alpha test.
class PassState {
public:
    static void applyBlend(const Material::Blend& blend);
    static void applyAlphaFunction(AlphaFunction function);
};

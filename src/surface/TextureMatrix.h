#pragma once

#include "level/Material.h"

#include <array>
#include <vector>

// An affine map of texture coordinates, s' = s a + t b + c and t' = s d + t e + f (rows
// {a, b, c} and {d, e, f}): what a stage's tcMod lines make of (s, t) at one time. The lines
// compose in the order written, each applied to what the ones before it gave, so one matrix per
// stage and frame does the work (loaded as GL's texture matrix). Two of them are approximations
// a matrix forces: turb sways the whole surface round a small circle instead of rippling it,
// and stretch through a wave value near 0 stretches at most a thousandfold.
struct TextureMatrix {
    std::array<std::array<float, 3>, 2> rows{{{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}}};

    std::array<float, 2> apply(float s, float t) const;
    // This map, then `next`.
    TextureMatrix then(const TextureMatrix& next) const;
    // As a 4 x 4 matrix in column-major order, for glLoadMatrixf.
    std::array<float, 16> columnMajor() const;

    // scroll and rotate turn with time; the scroll's offset is kept within one repeat.
    static TextureMatrix of(const Material::TexCoordMod& mod, double seconds);
    static TextureMatrix of(const std::vector<Material::TexCoordMod>& mods, double seconds);
};

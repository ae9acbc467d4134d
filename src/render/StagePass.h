#pragma once

#include "level/Material.h"
#include "level/MaterialPasses.h"

#include <GL/glew.h>

#include <array>
#include <cstddef>

// One pass of a material with its image on the GPU: the stage's own image, or its animMap
// frames, one shown at a time by the material clock. What the pass draws otherwise (the
// record's image, the lightmap, white) is bound by MaterialRenderer, which sets all GL state.
class StagePass {
public:
    using Frames = std::array<GLuint, Material::Stage::maxAnimationFrames>;

    StagePass(const MaterialPasses::Pass& pass, const Frames& frames, std::size_t frameCount)
        : pass(pass), frames(frames), frameCount(frameCount)
    {
    }

    // The frame showing at `seconds`; the one image of a stage without animMap; 0 for none.
    GLuint imageAt(double seconds) const;

    MaterialPasses::Pass pass;

private:
    Frames frames{};
    std::size_t frameCount = 0;
};

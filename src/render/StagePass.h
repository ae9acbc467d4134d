#pragma once

#include "level/Material.h"
#include "level/MaterialPasses.h"
#include "render/ImageCache.h"

#include <GL/glew.h>

#include <array>
#include <cstddef>

class DataRootImages;

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

    // `pass` with its stage's images loaded through the image cache, when it draws the stage's
    // own: a frame that cannot be shown shows the first that can.
    static StagePass loaded(const MaterialPasses::Pass& pass, DataRootImages& images, ImageCache::Filter filter);

    // The frame showing at `seconds`; the one image of a stage without animMap; 0 for none.
    GLuint imageAt(double seconds) const;
    // Whether a pass of the stage's own image found one.
    bool hasImage() const { return frames[0] != 0; }

    MaterialPasses::Pass pass;

private:
    Frames frames{};
    std::size_t frameCount = 0;
};

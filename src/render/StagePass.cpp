#include "render/StagePass.h"

#include "surface/AnimationFrame.h"

GLuint StagePass::imageAt(double seconds) const
{
    if (frameCount <= 1 || pass.stage == nullptr)
        return frames[0];
    return frames[AnimationFrame::index(seconds, pass.stage->animationFrequency, frameCount)];
}

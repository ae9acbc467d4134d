#include "render/StagePass.h"

#include "level/TextureResolver.h"
#include "render/DataRootImages.h"
#include "surface/AnimationFrame.h"

#include <string>
#include <vector>

StagePass StagePass::loaded(const MaterialPasses::Pass& pass, DataRootImages& images, ImageCache::Filter filter)
{
    Frames frames{};
    std::size_t count = 0;
    if (pass.image != MaterialPasses::Image::stage)
        return StagePass(pass, frames, count);
    const Material::Stage& stage = *pass.stage;
    const ImageCache::Wrap wrap = stage.clamp ? ImageCache::Wrap::clampToEdge : ImageCache::Wrap::repeat;
    const std::vector<std::string> one{stage.image};
    for (const std::string& name : stage.animationFrames.empty() ? one : stage.animationFrames) {
        const auto path = images.resolver().findImage(name);
        frames[count++] = path ? images.cache().texture(*path, wrap, filter) : 0;
    }
    GLuint shown = 0;
    for (std::size_t k = 0; k < count && shown == 0; ++k)
        shown = frames[k];
    for (std::size_t k = 0; k < count; ++k)
        frames[k] = frames[k] != 0 ? frames[k] : shown;
    return StagePass(pass, frames, count);
}

GLuint StagePass::imageAt(double seconds) const
{
    if (frameCount <= 1 || pass.stage == nullptr)
        return frames[0];
    return frames[AnimationFrame::index(seconds, pass.stage->animationFrequency, frameCount)];
}

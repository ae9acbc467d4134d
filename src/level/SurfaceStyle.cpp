#include "level/SurfaceStyle.h"

#include "level/LevelFormat.h"

#include <algorithm>
#include <tuple>

namespace {
auto ordered(const SurfaceStyle& style)
{
    return std::make_tuple(style.phase, style.sort, style.drawn, style.frameVertices, style.sky, style.alphaFunction, style.blend.blends,
                           style.blend.sourceFactor, style.blend.destinationFactor, style.culling, style.polygonOffset,
                           style.takesLightmap);
}

SurfaceStyle::Hidden hiddenBy(int32_t surfaceFlags, const Material* material)
{
    if ((surfaceFlags & LevelFormat::surfaceSky) != 0 || (material != nullptr && material->sky))
        return SurfaceStyle::Hidden::sky;
    if ((surfaceFlags & LevelFormat::surfaceNoDraw) != 0)
        return SurfaceStyle::Hidden::nodrawRecord;
    if (material != nullptr && material->nodraw)
        return SurfaceStyle::Hidden::nodrawMaterial;
    if (material != nullptr && material->fog
        && std::none_of(material->stages.begin(), material->stages.end(), MaterialPasses::showsSomething))
        return SurfaceStyle::Hidden::fog;
    return SurfaceStyle::Hidden::no;
}
} // namespace

SurfaceStyle SurfaceStyle::of(int32_t surfaceFlags, const Material* material)
{
    SurfaceStyle style;
    style.hidden = hiddenBy(surfaceFlags, material);
    style.sky = style.hidden == Hidden::sky;
    style.drawn = style.hidden == Hidden::no;
    if (material == nullptr)
        return style;
    style.culling = material->culling;
    style.polygonOffset = material->polygonOffset;
    style.sort = material->drawOrder();
    style.frameVertices = MaterialPasses::needsFrameVertices(material);
    style.takesLightmap = false;
    for (const Material::Stage& stage : material->stages)
        style.takesLightmap = style.takesLightmap || stage.lightmapStage;
    if (!material->stages.empty())
        style.blend = material->stages.front().blend;
    if (const Material::Stage* image = material->firstImageStage())
        style.alphaFunction = image->alphaFunction;
    if (style.blend.blends)
        style.phase = Phase::blended;
    else if (style.alphaFunction != AlphaFunction::always)
        style.phase = Phase::alphaTested;
    return style;
}

bool SurfaceStyle::operator<(const SurfaceStyle& other) const { return ordered(*this) < ordered(other); }

bool SurfaceStyle::operator==(const SurfaceStyle& other) const { return ordered(*this) == ordered(other); }

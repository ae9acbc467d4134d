#include "level/MaterialPasses.h"

namespace {
bool isFilter(const Material::Blend& blend)
{
    return blend.blends
        && ((blend.sourceFactor == BlendFactor::destinationColor && blend.destinationFactor == BlendFactor::zero)
            || (blend.sourceFactor == BlendFactor::zero && blend.destinationFactor == BlendFactor::sourceColor));
}

bool isWhite(ColorSource source) { return source == ColorSource::identity || source == ColorSource::identityLighting; }

// A $lightmap stage that is nothing but the lightmap at its own coordinates.
bool isPlainLightmap(const Material::Stage& stage)
{
    return stage.lightmapStage && isWhite(stage.rgbGen) && stage.alphaGen == AlphaSource::identity
        && stage.tcMods.empty() && stage.alphaFunction == AlphaFunction::always
        && (stage.tcGen == TexCoordSource::base || stage.tcGen == TexCoordSource::lightmap);
}
} // namespace

bool MaterialPasses::showsSomething(const Material::Stage& stage)
{
    return stage.lightmapStage || stage.whiteImage || !stage.image.empty();
}

MaterialPasses::Color MaterialPasses::colorOf(const Material::Stage& stage)
{
    const bool rgbFromVertices = stage.rgbGen == ColorSource::vertex || stage.rgbGen == ColorSource::lightingDiffuse;
    const bool rgbConstant = isWhite(stage.rgbGen) || stage.rgbGen == ColorSource::constant
                          || stage.rgbGen == ColorSource::wave;
    const bool alphaConstant = stage.alphaGen == AlphaSource::identity || stage.alphaGen == AlphaSource::constant
                            || stage.alphaGen == AlphaSource::wave;
    if (rgbConstant && alphaConstant)
        return Color::constant;
    // Levels store their vertex alpha as 255, so identity alpha beside vertex colours is the stored one.
    if (rgbFromVertices && (stage.alphaGen == AlphaSource::identity || stage.alphaGen == AlphaSource::vertex))
        return Color::vertexColors;
    return Color::computed;
}

MaterialPasses::Pass MaterialPasses::stagePass(const Material::Stage& stage)
{
    Pass pass;
    pass.stage = &stage;
    pass.image = stage.lightmapStage ? Image::lightmap : stage.whiteImage ? Image::white : Image::stage;
    pass.color = colorOf(stage);
    pass.blend = stage.blend;
    pass.alphaFunction = stage.alphaFunction;
    pass.depthWrite = !stage.blend.blends || stage.depthWrite;
    pass.depthFunction = stage.depthFunction;
    return pass;
}

// Image x lightmap in either order, drawn as one: the first writes the pixel, the second
// multiplies it, and multiplying is the same either way round as long as the first replaces
// what is behind and the second cuts nothing out.
bool MaterialPasses::multipliesLightmap(const Material::Stage& first, const Material::Stage& second)
{
    if (first.blend.blends || !isFilter(second.blend) || second.alphaFunction != AlphaFunction::always)
        return false;
    const Material::Stage& image = first.lightmapStage ? second : first;
    const Material::Stage& lightmap = first.lightmapStage ? first : second;
    return isPlainLightmap(lightmap) && !image.lightmapStage && !image.whiteImage && !image.image.empty()
        && colorOf(image) == Color::constant;
}

std::vector<MaterialPasses::Pass> MaterialPasses::of(const Material* material, const Pass& implicit)
{
    std::vector<const Material::Stage*> shown;
    if (material != nullptr)
        for (const Material::Stage& stage : material->stages)
            if (showsSomething(stage))
                shown.push_back(&stage);
    if (shown.empty())
        return {implicit};
    std::vector<Pass> passes;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (i + 1 < shown.size() && multipliesLightmap(*shown[i], *shown[i + 1])) {
            const Material::Stage& image = shown[i]->lightmapStage ? *shown[i + 1] : *shown[i];
            Pass pass = stagePass(image);
            pass.lit = true;
            pass.blend = {};
            pass.depthWrite = true;
            pass.depthFunction = shown[i]->depthFunction;
            pass.alphaFunction = shown[i]->alphaFunction;
            passes.push_back(pass);
            ++i;
            continue;
        }
        passes.push_back(stagePass(*shown[i]));
    }
    return passes;
}

bool MaterialPasses::needsFrameVertices(const Material* material)
{
    if (material == nullptr)
        return false;
    if (!material->deforms.empty())
        return true;
    for (const Material::Stage& stage : material->stages)
        if (showsSomething(stage) && (stage.tcGen == TexCoordSource::environment || colorOf(stage) == Color::computed))
            return true;
    return false;
}

#include "level/Material.h"

#include "files/RelativePath.h"

const Material::Stage* Material::firstImageStage() const
{
    for (const Stage& stage : stages)
        if (!stage.lightmapStage && !stage.image.empty())
            return &stage;
    return nullptr;
}

float Material::drawOrder() const
{
    if (sort > 0.0f)
        return sort;
    if (sky)
        return Sort::sky;
    if (!stages.empty() && stages.front().blend.blends)
        return Sort::additive;
    return polygonOffset ? Sort::decal : Sort::opaque;
}

std::string Material::keyOf(std::string_view name)
{
    return RelativePath::lowerCase(std::string(name));
}

bool Material::changesWithTime() const
{
    for (const Deform& deform : deforms)
        if (deform.kind != DeformKind::autosprite && deform.kind != DeformKind::autosprite2)
            return true;
    for (const Stage& stage : stages) {
        if (stage.animationFrames.size() > 1 || stage.rgbGen == ColorSource::wave || stage.alphaGen == AlphaSource::wave)
            return true;
        for (const TexCoordMod& mod : stage.tcMods)
            if (mod.kind != TexCoordModKind::scale && mod.kind != TexCoordModKind::transform)
                return true;
    }
    return false;
}

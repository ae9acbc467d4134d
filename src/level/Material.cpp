#include "level/Material.h"

#include "files/RelativePath.h"

const Material::Stage* Material::firstImageStage() const
{
    for (const Stage& stage : stages)
        if (!stage.lightmapStage && !stage.image.empty())
            return &stage;
    return nullptr;
}

std::string Material::keyOf(std::string_view name)
{
    return RelativePath::lowerCase(std::string(name));
}

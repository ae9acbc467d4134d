#include "level/Material.h"

const Material::Stage* Material::firstImageStage() const
{
    for (const Stage& stage : stages)
        if (!stage.lightmapStage && !stage.image.empty())
            return &stage;
    return nullptr;
}

std::string Material::keyOf(std::string_view name)
{
    std::string key(name);
    for (char& c : key)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return key;
}

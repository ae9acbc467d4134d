#include "level/MaterialLibrary.h"

#include <utility>

void MaterialLibrary::add(std::vector<Material> added)
{
    for (Material& material : added)
        if (indexByKey.emplace(material.key, materials.size()).second)
            materials.push_back(std::move(material));
}

const Material* MaterialLibrary::find(std::string_view name) const
{
    const auto found = indexByKey.find(Material::keyOf(name));
    return found == indexByKey.end() ? nullptr : &materials[found->second];
}

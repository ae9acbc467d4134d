#include "level/MaterialLibrary.h"

#include "files/DataRoot.h"
#include "level/MaterialScript.h"

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

MaterialLibrary MaterialLibrary::fromScripts(const DataRoot& root, std::ostream& log)
{
    MaterialLibrary library;
    for (const DataRoot::Listed& script : root.list("scripts/", ".shader")) {
        const std::optional<std::vector<unsigned char>> text = root.read(script.path);
        if (text)
            library.add(MaterialScript::parse(
                std::string_view(reinterpret_cast<const char*>(text->data()), text->size()), script.path, log));
    }
    return library;
}

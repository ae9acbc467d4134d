#pragma once

#include "level/Material.h"

#include <cstddef>
#include <ostream>
#include <string_view>
#include <unordered_map>
#include <vector>

// The materials of several scripts, found by name ignoring ASCII case. Scripts are added in the
// order they are read; when two define the same name, the first definition is kept, whether the
// two come from one script or from two.
class DataRoot;

class MaterialLibrary {
public:
    // The materials of every scripts/*.shader under the root, loose and archived, in path order;
    // a broken script logs its lines and keeps what it defined before the break.
    static MaterialLibrary fromScripts(const DataRoot& root, std::ostream& log);

    // Takes a script's materials (MaterialScript::parse), skipping names already known.
    void add(std::vector<Material> materials);

    const Material* find(std::string_view name) const; // null when no script defines it
    std::size_t size() const { return materials.size(); }

private:
    std::vector<Material> materials;
    std::unordered_map<std::string, std::size_t> indexByKey; // Material::key to index
};

#include "level/MaterialReport.h"

#include "level/Material.h"
#include "level/MaterialLibrary.h"

#include <map>

namespace {
// Each name the level gives a material, once ignoring case, in the order first given, with the
// faces whose texture it is: texture records, then fog volumes (whose faces are counted under
// their own textures).
std::vector<MaterialReport::Undefined> namesWithFaces(const LevelData& level)
{
    std::vector<MaterialReport::Undefined> names;
    std::map<std::string, std::size_t> indexByKey;
    const auto add = [&](const std::string& name) {
        const auto [at, added] = indexByKey.emplace(Material::keyOf(name), names.size());
        if (added)
            names.push_back({name, 0});
        return at->second;
    };
    std::vector<std::size_t> nameOfTexture;
    for (const std::string& name : level.textureNames)
        nameOfTexture.push_back(add(name));
    for (const Effect& effect : level.effects)
        add(effect.material);
    for (const Face& face : level.faces)
        ++names[nameOfTexture[std::size_t(face.texture)]].faces; // checked by the loader
    return names;
}
} // namespace

MaterialReport MaterialReport::of(const LevelData& level, const MaterialLibrary& materials)
{
    MaterialReport report;
    std::map<std::string, Skipped> skippedByKey;
    for (const Undefined& named : namesWithFaces(level)) {
        ++report.used;
        const Material* material = materials.find(named.name);
        if (material == nullptr) {
            report.undefined.push_back(named);
            continue;
        }
        ++report.fromScripts;
        report.facesTouched += material->skipped.empty() ? 0 : named.faces;
        for (const std::string& keyword : material->skipped) {
            Skipped& entry = skippedByKey.emplace(Material::keyOf(keyword), Skipped{keyword, 0, 0}).first->second;
            entry.faces += named.faces;
            ++entry.materials;
        }
    }
    for (auto& [key, entry] : skippedByKey)
        report.skipped.push_back(std::move(entry));
    return report;
}

std::string MaterialReport::summaryLine() const
{
    return "materials: " + std::to_string(used) + " used, " + std::to_string(fromScripts)
           + " from scripts; skipped keywords touch " + std::to_string(facesTouched) + " faces";
}

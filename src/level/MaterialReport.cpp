#include "level/MaterialReport.h"

#include "level/Material.h"
#include "level/MaterialLibrary.h"
#include "level/MaterialPasses.h"
#include "level/SurfaceStyle.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>

namespace {
using Reason = MaterialReport::Reason;
constexpr std::size_t reasonCount = std::size_t(Reason::imageNotFound) + 1;

// Each name the level gives a material, once ignoring case, in the order first given: its
// texture records, then fog volumes. A face counts once for its texture's name and once for
// its fog volume's, when that is another name.
struct Use {
    std::string name;
    std::size_t faces = 0;
    std::vector<std::size_t> records; // texture records of this name
};

struct RecordFaces {
    std::vector<std::size_t> drawnTypes; // by texture record: polygons, meshes and patches
    std::vector<std::size_t> billboards;
};

RecordFaces facesByRecord(const LevelData& level)
{
    RecordFaces counts{std::vector<std::size_t>(level.textureNames.size()),
                       std::vector<std::size_t>(level.textureNames.size())};
    for (const Face& face : level.faces) // textures checked by the loader
        ++(face.isDrawnType() ? counts.drawnTypes : counts.billboards)[std::size_t(face.texture)];
    return counts;
}

std::vector<Use> usesOf(const LevelData& level)
{
    std::vector<Use> uses;
    std::map<std::string, std::size_t> indexByKey;
    const auto add = [&](const std::string& name) {
        const auto [at, added] = indexByKey.emplace(Material::keyOf(name), uses.size());
        if (added)
            uses.push_back({name, 0, {}});
        return at->second;
    };
    std::vector<std::size_t> useOfTexture;
    for (std::size_t record = 0; record < level.textureNames.size(); ++record) {
        useOfTexture.push_back(add(level.textureNames[record]));
        uses[useOfTexture.back()].records.push_back(record);
    }
    std::vector<std::size_t> useOfEffect;
    for (const Effect& effect : level.effects)
        useOfEffect.push_back(add(effect.material));
    for (const Face& face : level.faces) {
        const std::size_t texture = useOfTexture[std::size_t(face.texture)];
        ++uses[texture].faces;
        if (face.effect >= 0 && useOfEffect[std::size_t(face.effect)] != texture) // a bad effect is made -1
            ++uses[useOfEffect[std::size_t(face.effect)]].faces;
    }
    return uses;
}

class UndrawnCount {
public:
    void add(Reason reason, const std::string& material, std::size_t faces, std::size_t stages)
    {
        MaterialReport::Undrawn& entry = byReason[std::size_t(reason)];
        entry.reason = reason;
        entry.faces += faces;
        entry.stages += stages;
        if (std::find(entry.materials.begin(), entry.materials.end(), material) == entry.materials.end())
            entry.materials.push_back(material);
    }

    void into(MaterialReport& report) const
    {
        for (const MaterialReport::Undrawn& entry : byReason) {
            if (entry.materials.empty())
                continue;
            report.undrawn.push_back(entry);
            report.undrawnFaces += entry.faces;
            report.undrawnStages += entry.stages;
        }
    }

private:
    std::array<MaterialReport::Undrawn, reasonCount> byReason{};
};

// Why faces whose material has drawing stages lose them; nothing where the material itself asks
// not to be drawn as a surface (nodraw, sky) or is drawn.
std::optional<Reason> faceReason(SurfaceStyle::Hidden hidden, const Material& material)
{
    switch (hidden) {
    case SurfaceStyle::Hidden::nodrawRecord:
        if (!material.nodraw)
            return Reason::nodrawRecord;
        break;
    case SurfaceStyle::Hidden::fog: // a fog material without drawing stages
    case SurfaceStyle::Hidden::nodrawMaterial:
    case SurfaceStyle::Hidden::no:
    case SurfaceStyle::Hidden::sky: break;
    }
    return std::nullopt;
}

bool anyFrameFound(const Material::Stage& stage, const std::function<bool(const std::string&)>& imageFound)
{
    if (stage.animationFrames.empty())
        return imageFound(stage.image);
    return std::any_of(stage.animationFrames.begin(), stage.animationFrames.end(),
                       [&](const std::string& frame) { return !frame.empty() && imageFound(frame); });
}

// The faces of `use` left undrawn by their record and material, and the stages of the material
// that no face shows. A material none of whose faces is drawn loses all its drawing stages, for
// the reason its faces are not drawn.
void countUndrawn(const LevelData& level, const Use& use, const Material& material, const RecordFaces& faces,
                  const std::function<bool(const std::string&)>& imageFound, UndrawnCount& undrawn)
{
    const std::size_t drawingStages = std::size_t(
        std::count_if(material.stages.begin(), material.stages.end(), MaterialPasses::showsSomething));
    if (drawingStages == 0)
        return;
    bool surface = false;
    bool sky = false;
    std::optional<Reason> hidden;
    for (const std::size_t record : use.records) {
        if (faces.billboards[record] > 0) {
            undrawn.add(Reason::billboard, use.name, faces.billboards[record], 0);
            hidden = hidden.value_or(Reason::billboard);
        }
        if (faces.drawnTypes[record] == 0)
            continue;
        const SurfaceStyle style = SurfaceStyle::of(level.textureFlags[record], &material);
        surface = surface || style.drawn;
        sky = sky || style.sky;
        if (const std::optional<Reason> reason = faceReason(style.hidden, material)) {
            undrawn.add(*reason, use.name, faces.drawnTypes[record], 0);
            hidden = hidden.value_or(*reason);
        }
    }
    if (!surface && !sky) {
        if (hidden)
            undrawn.add(*hidden, use.name, 0, drawingStages);
        return;
    }
    for (const Material::Stage& stage : material.stages)
        if (!MaterialPasses::showsSomething(stage))
            undrawn.add(Reason::nothingShown, use.name, 0, 1);
    for (const MaterialPasses::Pass& pass : MaterialPasses::of(&material, MaterialPasses::Pass{})) {
        if (sky && !surface && !MaterialPasses::isCloudLayer(pass))
            undrawn.add(Reason::notACloudLayer, use.name, 0, 1);
        else if (pass.image == MaterialPasses::Image::stage && !anyFrameFound(*pass.stage, imageFound))
            undrawn.add(Reason::imageNotFound, use.name, 0, 1);
    }
}
} // namespace

MaterialReport MaterialReport::of(const LevelData& level, const MaterialLibrary& materials,
                                  const std::function<bool(const std::string&)>& imageFound)
{
    MaterialReport report;
    const RecordFaces faces = facesByRecord(level);
    std::map<std::string, Skipped> skippedByKey;
    UndrawnCount undrawn;
    for (const Use& use : usesOf(level)) {
        if (use.faces == 0)
            continue;
        ++report.used;
        const Material* material = materials.find(use.name);
        if (material == nullptr) {
            report.undefined.push_back({use.name, use.faces});
            continue;
        }
        ++report.fromScripts;
        report.facesTouched += material->skipped.empty() ? 0 : use.faces;
        for (const std::string& keyword : material->skipped) {
            Skipped& entry = skippedByKey.emplace(Material::keyOf(keyword), Skipped{keyword, 0, 0}).first->second;
            entry.faces += use.faces;
            ++entry.materials;
        }
        countUndrawn(level, use, *material, faces, imageFound, undrawn);
    }
    for (auto& [key, entry] : skippedByKey)
        report.skipped.push_back(std::move(entry));
    undrawn.into(report);
    return report;
}

const char* MaterialReport::describe(Reason reason)
{
    switch (reason) {
    case Reason::nodrawRecord: return "texture record flagged nodraw, its material not";
    case Reason::billboard: return "billboard faces, never drawn";
    case Reason::nothingShown: return "no image, lightmap or white to show";
    case Reason::notACloudLayer: return "sky stage that is not an image";
    case Reason::imageNotFound: return "image not found";
    }
    return "";
}

std::string MaterialReport::summaryLine() const
{
    return "materials: " + std::to_string(used) + " used, " + std::to_string(fromScripts)
           + " from scripts; skipped keywords touch " + std::to_string(facesTouched) + " faces; not drawn: "
           + std::to_string(undrawnFaces) + " faces, " + std::to_string(undrawnStages) + " stages";
}

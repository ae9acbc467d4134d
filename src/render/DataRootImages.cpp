#include "render/DataRootImages.h"

#include "files/DataRoot.h"
#include "files/RelativePath.h"
#include "image/DecodedImage.h"
#include "level/Material.h"
#include "level/MaterialPasses.h"
#include "level/SurfaceStyle.h"
#include "level/TextureResolver.h"
#include "render/SkyBoxImages.h"
#include "render/TextureManager.h"

#include <iostream>
#include <unordered_map>
#include <unordered_set>

namespace {

// The images a level's load decodes, in the order it first needs each: the records' images as
// loadTextures asks for them, then what the designed look asks for once the level is read
// (MaterialRenderer's stage images record by record, then DesignedLook::loadSky's far box, cloud
// layers and near box), each wrapping, filter and path once, as the cache keys them. Past the
// records' images it is a forecast: an image the look asks for out of it is decoded when asked.
class LoadOrder {
public:
    LoadOrder(const LevelData& level, const std::vector<bool>& inUse, const TextureResolver& resolver)
        : resolver(resolver), quiet(resolver.dataRoot())
    {
        std::unordered_set<std::string> names;
        for (std::size_t record = 0; record < inUse.size(); ++record)
            if (inUse[record] && names.insert(level.textureNames[record]).second)
                add(resolver.imagePath(level.textureNames[record]), false, false);
        const Material* sky = nullptr;
        for (std::size_t record = 0; record < inUse.size(); ++record) {
            const Material* material = inUse[record] ? resolver.material(level.textureNames[record]) : nullptr;
            if (material == nullptr)
                continue;
            const SurfaceStyle style = SurfaceStyle::of(level.textureFlags[record], material);
            if (style.drawn)
                addStages(*material, [](const MaterialPasses::Pass& pass) {
                    return pass.image == MaterialPasses::Image::stage;
                });
            if (style.sky && sky == nullptr)
                sky = material;
        }
        if (sky != nullptr) {
            addBox(sky->skyFarBox);
            addStages(*sky, [](const MaterialPasses::Pass& pass) {
                return MaterialPasses::isCloudLayer(pass) && pass.image == MaterialPasses::Image::stage;
            });
            addBox(sky->skyNearBox);
        }
    }

    std::vector<std::string> paths;

private:
    void add(const std::optional<std::string>& path, bool clamped, bool linear)
    {
        const std::string key = std::string(clamped ? "c" : "r") + (linear ? "l" : "m");
        if (path && keys.insert(key + RelativePath::lowerCase(*path)).second)
            paths.push_back(*path);
    }

    template <typename Shown>
    void addStages(const Material& material, Shown shown)
    {
        for (const MaterialPasses::Pass& pass : MaterialPasses::of(&material, MaterialPasses::Pass{})) {
            if (!shown(pass))
                continue;
            const Material::Stage& stage = *pass.stage;
            if (stage.animationFrames.empty())
                add(resolver.findImage(stage.image), stage.clamp, material.noMipmaps);
            for (const std::string& frame : stage.animationFrames)
                add(resolver.findImage(frame), stage.clamp, material.noMipmaps);
        }
    }

    void addBox(const std::string& base)
    {
        if (!base.empty())
            for (const char* side : SkyBoxImages::sideSuffixes)
                add(resolver.findImage(base + side), true, false);
    }

    const TextureResolver& resolver;
    const DataRoot::Quietly quiet;
    std::unordered_set<std::string> keys;
};

} // namespace

DataRootImages::DataRootImages(const TextureResolver& resolver, ImageCache::Limits limits, bool readAhead)
    : readingAhead(readAhead), textures(resolver), images(resolver, limits, std::cerr)
{
}

bool DataRootImages::beginImages(const LevelData& level, const std::vector<bool>& inUse)
{
    if (readingAhead)
        images.readAhead(LoadOrder(level, inUse, textures).paths);
    return true;
}

std::unique_ptr<TextureManager> DataRootImages::loadTextures(const LevelData& level, const std::vector<bool>& inUse,
                                                             int lightmapCount)
{
    recordName.assign(level.textureNames.size(), unused);
    std::vector<GLuint> shown(level.textureNames.size(), 0);
    std::unordered_map<std::string, uint32_t> byName;
    for (std::size_t record = 0; record < inUse.size(); ++record) {
        if (!inUse[record])
            continue;
        const std::string& name = level.textureNames[record];
        const auto [entry, added] = byName.emplace(name, uint32_t(names.size()));
        if (added) {
            const std::optional<std::string> path = textures.imagePath(name);
            const GLuint texture = path ? images.texture(*path) : 0;
            names.push_back({texture});
        }
        recordName[record] = entry->second;
        shown[record] = names[entry->second].texture;
    }
    return std::make_unique<TextureManager>(std::move(shown), unsigned(lightmapCount));
}

// The same image as a configuration's sky, found under the data root; without it the sky stays white.
void DataRootImages::loadSky(const std::string& name)
{
    const std::optional<std::string> path = textures.findImage(name);
    if (const std::unique_ptr<DecodedImage> sky = path ? images.decode(*path) : nullptr)
    {
        TextureManager::uploadToBoundTexture(*sky);
        skyFound = true;
    }
    images.endReadAhead(); // the sky is the last image a load asks for
}

std::optional<TextureReport> DataRootImages::report(const LevelData& level, const MaterialLibrary* materials) const
{
    std::vector<bool> hasImage(recordName.size(), false);
    for (std::size_t record = 0; record < recordName.size(); ++record)
        hasImage[record] = recordName[record] != unused && names[recordName[record]].texture != 0;
    return TextureReport::of(level, hasImage, materials);
}

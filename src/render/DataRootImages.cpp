#include "render/DataRootImages.h"

#include "files/DataRoot.h"
#include "image/DecodedImage.h"
#include "level/TextureResolver.h"
#include "render/TextureManager.h"

#include <iostream>
#include <unordered_map>

DataRootImages::DataRootImages(const TextureResolver& resolver, ImageCache::Limits limits)
    : textures(resolver), images(resolver, limits, std::cerr)
{
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
}

std::optional<TextureReport> DataRootImages::report(const LevelData& level, const MaterialLibrary* materials) const
{
    std::vector<bool> hasImage(recordName.size(), false);
    for (std::size_t record = 0; record < recordName.size(); ++record)
        hasImage[record] = recordName[record] != unused && names[recordName[record]].texture != 0;
    return TextureReport::of(level, hasImage, materials);
}

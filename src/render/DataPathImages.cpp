#include "render/DataPathImages.h"

#include "image/JPEGTexture.h"
#include "render/TextureManager.h"

#include <iostream>

std::ostream& DataPathImages::transcript() { return std::cerr; }

std::unique_ptr<TextureManager> DataPathImages::loadTextures(const LevelData& level, const std::vector<bool>&,
                                                             int lightmapCount)
{
    auto textures = std::make_unique<TextureManager>(unsigned(level.textureNames.size()), unsigned(lightmapCount));
    for (const std::string& name : level.textureNames)
        textures->createTexture(dataPath.c_str(), name.c_str());
    return textures;
}

void DataPathImages::loadSky(const std::string& name)
{
    const JPEGTexture sky(dataPath.c_str(), name.c_str());
    if (!sky.isLoaded()) {
        // The sky stays an imageless texture; the level is still worth showing.
        std::cerr << "sky image " << dataPath << name << ".jpg could not be read; the sky is drawn plain white"
                  << std::endl;
        return;
    }
    const GLint result = TextureManager::uploadToBoundTexture(sky);
    if (result == 0)
        std::cerr << "SKYBOX DONE " << std::endl;
    else
        std::cerr << "Error: " << TextureManager::errorText(result) << std::endl;
}

bool DataPathImages::keepsRowsBottomUp(const TextureManager& textures, int texture) const
{
    return textures.textureKind(texture) == TextureManager::kindTGA;
}

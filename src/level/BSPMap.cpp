#include "level/BSPMap.h"

#include "level/LevelFormat.h"
#include "level/LevelFormatError.h"
#include "level/LevelLoader.h"

#include <fstream>
#include <iostream>

namespace {

// The whole file in one read: every lump is decoded from memory afterwards.
std::vector<unsigned char> readLevelFile(const char* path)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file)
        throw LevelFormatError(std::string(path) + ": cannot open the level file");
    const std::streamoff size = file.tellg();
    if (size < 0)
        throw LevelFormatError(std::string(path) + ": cannot read the level file");
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    file.seekg(0);
    file.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
    if (file.gcount() != std::streamsize(bytes.size()))
        throw LevelFormatError(std::string(path) + ": cannot read the level file");
    return bytes;
}

} // namespace

BSPMap::BSPMap(const char* dataPath, const char* levelPath, OnScreenDisplay* display, LightingModule* lighting)
    : display(display), lighting(lighting), dataPath(dataPath), levelPath(levelPath)
{
    {
        const std::vector<unsigned char> bytes = readLevelFile(levelPath);
        LevelLoader loader(levelPath, bytes, std::cerr);
        loader.readHeader(*this);
        loader.readTextureNames(*this);
        textureManager = std::make_unique<TextureManager>(unsigned(textureNames.size()), unsigned(lightmapCount));
        loadTextures();
        loader.readRecords(*this, [this](int texture) { return textureManager->textureKind(texture); });
        loader.readVisibility(*this);
        loader.readEntities(*this);
    } // the file's bytes go before the patches take their memory
    LevelLoader::buildPatches(*this);
    skybox = std::make_unique<Skybox>();
}

BSPMap::~BSPMap() = default;

void BSPMap::loadTextures()
{
    for (const std::string& name : textureNames)
        textureManager->createTexture(dataPath, name.c_str());
}

void BSPMap::retessellatePatches(int level)
{
    if (!patchesTessellated)
        return;
    for (Face& face : faces) {
        if (face.type != LevelFormat::Patch)
            continue;
        for (BezierPatch& patch : face.patches)
            patch.tessellate(level);
    }
}

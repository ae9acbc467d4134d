#pragma once

#include "render/ImageCache.h"
#include "render/LevelImages.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TextureResolver;

// Images found under a data root (loose files and archives) through a TextureResolver, each
// decoded once into an ImageCache and shared. Only the texture names that faces of a drawn type
// use are resolved, each distinct name once: a record no face uses costs its name and nothing
// else, and has no image. Loading prints no transcript; what goes wrong gets one line. The images
// a load will ask for are read and decoded on other threads ahead of it (ImageCache::readAhead)
// from beginImages on, until the sky, the last image a load asks for, is loaded.
class DataRootImages : public LevelImages {
public:
    // Needs a current GL context; `resolver` outlives this. Without `readAhead`, every image is
    // read and decoded on this thread when it is asked for.
    DataRootImages(const TextureResolver& resolver, ImageCache::Limits limits = {}, bool readAhead = true);
    DataRootImages(const DataRootImages&) = delete;
    DataRootImages& operator=(const DataRootImages&) = delete;

    std::ostream& transcript() override { return quiet; }
    bool beginImages(const LevelData& level, const std::vector<bool>& inUse) override;
    std::unique_ptr<TextureManager> loadTextures(const LevelData& level, const std::vector<bool>& inUse,
                                                 int lightmapCount) override;
    // None: every image is decoded top row first.
    bool keepsRowsBottomUp(const TextureManager&, int) const override { return false; }
    void loadSky(const std::string& name) override;
    bool skyLoaded() const { return skyFound; } // the last loadSky found its image
    // A record has an image when faces use it and the cache gave its image a texture (one past
    // the texture budget has none).
    std::optional<TextureReport> report(const LevelData& level, const MaterialLibrary* materials) const override;

    bool isUsed(int texture) const { return recordName[std::size_t(texture)] != unused; } // after loadTextures
    const TextureResolver& resolver() const { return textures; }
    ImageCache& cache() { return images; }

private:
    bool skyFound = false;
    bool readingAhead;
    static constexpr uint32_t unused = UINT32_MAX;
    struct Name {
        GLuint texture = 0;
    };

    const TextureResolver& textures;
    ImageCache images;
    std::ostream quiet{nullptr};
    std::vector<Name> names;           // each distinct name that faces use
    std::vector<uint32_t> recordName;  // by texture record: its entry in names, or unused
};

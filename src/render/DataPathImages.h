#pragma once

#include "render/LevelImages.h"

#include <string>

// A configuration file's images: each texture record read from the data path as JPEG, then TGA,
// with the loading transcript on stderr, exactly as the configuration's contract prints it.
class DataPathImages : public LevelImages {
public:
    explicit DataPathImages(std::string dataPath) : dataPath(std::move(dataPath)) {}

    std::ostream& transcript() override;
    // Every record, used or not, as the configuration's transcript lists them.
    std::unique_ptr<TextureManager> loadTextures(const LevelData& level, const std::vector<bool>& inUse,
                                                 int lightmapCount) override;
    // Those read from TGA files.
    bool keepsRowsBottomUp(const TextureManager& textures, int texture) const override;
    void loadSky(const std::string& name) override;
    std::optional<TextureReport> report(const LevelData&, const MaterialLibrary*) const override
    {
        return std::nullopt;
    }

private:
    std::string dataPath; // prefix of every image path, as the configuration wrote it
};

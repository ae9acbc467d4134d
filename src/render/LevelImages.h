#pragma once

#include "level/LevelData.h"
#include "level/TextureReport.h"

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

class MaterialLibrary;
class TextureManager;

// Where a level's images come from, and so how loading speaks: the mode of a running viewer as
// an object. A configuration file's mode reads each texture from files under its data path and
// prints the loading transcript (DataPathImages); level mode and the configuration keys that
// reach for archives or the designed look find images under a data root, quietly, with one
// line for what goes wrong (DataRootImages).
class LevelImages {
public:
    virtual ~LevelImages() = default;

    // Where the level loader's transcript goes.
    virtual std::ostream& transcript() = 0;
    // Before the records are read: whether loadTextures may come after them, no face's rows
    // depending on its image; where it may, the images `inUse` will show are read ahead while
    // the records are read.
    virtual bool beginImages(const LevelData&, const std::vector<bool>&) { return false; }
    // The texture step of loading: a manager holding one texture per record of
    // level.textureNames (faces and everything else not read yet). `inUse` says, by record,
    // whether a face of a drawn type shows it. Needs a current GL context.
    virtual std::unique_ptr<TextureManager> loadTextures(const LevelData& level, const std::vector<bool>& inUse,
                                                         int lightmapCount) = 0;
    // Whether texture record `texture` (valid) of `textures` shows an image whose rows are kept
    // bottom-up, so the faces showing it have their t coordinates flipped as they are read.
    virtual bool keepsRowsBottomUp(const TextureManager& textures, int texture) const = 0;
    // Fills the bound GL texture with the sky image `name` (no extension), printing what the
    // mode prints; without an image the texture stays imageless and the sky plain white.
    virtual void loadSky(const std::string& name) = 0;
    // Which textures have an image, for the line after loading; nothing where the transcript
    // already said it texture by texture. `materials` (may be null) as in TextureReport::of.
    virtual std::optional<TextureReport> report(const LevelData& level, const MaterialLibrary* materials) const = 0;
};

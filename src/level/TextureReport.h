#pragma once

#include "level/LevelData.h"

#include <cstddef>
#include <string>
#include <vector>

class MaterialLibrary;

// Which of a level's textures have an image and which faces go without one: the one count
// behind the viewer's line after loading, levelinfo's figures and the gallery's.
//
// A face shows its texture's image when it is a polygon, a mesh or a curved surface
// (billboards are never drawn) and its texture is not a sky, fog or nodraw surface (by the
// record's surface flags or its material's surfaceparm and fogparms): such faces are never drawn
// with an image, so they need none. A texture shown by at least one face *needs* an image; a needed
// texture is *found* when it has a usable image (TextureResolver::decodeImage gave pixels) and
// *missing* otherwise, and every face that shows a missing texture is a *face without an
// image*. A texture no face shows is neither found nor missing.
struct TextureReport {
    struct Entry {
        std::string name;
        bool hasImage = false;     // a usable image, whether or not any face needs it
        bool surfaceShown = true;  // false for sky, fog and nodraw surfaces
        std::size_t faces = 0;     // polygon, mesh and patch faces using it, whatever its surface

        bool needsImage() const { return surfaceShown && faces > 0; }
        bool missing() const { return needsImage() && !hasImage; }
        std::size_t facesWithout() const { return missing() ? faces : 0; }
    };

    std::vector<Entry> textures; // lump order

    // hasImage[i]: whether texture record i has a usable image (missing entries count as none).
    // `materials` (may be null) gives the surfaceparms of the textures scripts define.
    static TextureReport of(const LevelData& level, const std::vector<bool>& hasImage,
                            const MaterialLibrary* materials);

    std::size_t needed() const;
    std::size_t found() const; // needed and with an image
    std::size_t facesWithout() const;
    std::vector<const Entry*> missing() const; // in lump order

    // "textures: 41 of 44 found; 57 faces <consequence>; missing: a, b, c and 1 more", naming at
    // most `named` missing textures (none: no list); "textures: all 44 found" when none is missing.
    std::string summaryLine(const std::string& consequence, std::size_t named) const;
};

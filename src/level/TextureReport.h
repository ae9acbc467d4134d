#pragma once

#include "level/LevelData.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// Which of a level's textures have an image and which faces lack one, for the line a user sees
// after loading and for the inspector. Counts polygon and mesh faces: a patch is drawn even
// without its image.
struct TextureReport {
    struct Entry {
        std::string name;
        std::string origin;          // where its image was found ("loose", an archive); "" when missing
        std::size_t facesWithout = 0; // polygon and mesh faces that use it, when it is missing
        bool drawn = true;            // false for sky and nodraw surfaces, which need no image
    };

    std::vector<Entry> textures; // lump order

    // originOf(i): where texture i's image came from, "" when it has none. isDrawn(i), when
    // given, leaves out the textures no face shows (sky, nodraw): they count neither way.
    static TextureReport of(const LevelData& level, const std::function<std::string(int)>& originOf,
                            const std::function<bool(int)>& isDrawn = nullptr);

    std::size_t found() const;
    std::size_t facesWithout() const;
    std::vector<const Entry*> missing() const; // in lump order
    std::size_t drawnTextures() const;

    // "textures: 41 of 44 found; 57 faces <consequence>; missing: a, b, c and 1 more", naming at
    // most `named` missing textures (none: no list); "textures: all 44 found" when none is missing.
    std::string summaryLine(const std::string& consequence, std::size_t named) const;
};

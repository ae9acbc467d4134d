#pragma once

#include "level/LevelData.h"

#include <cstddef>
#include <string>
#include <vector>

class MaterialLibrary;

// What the viewer cannot show of a level's materials, for the inspector: each drawing keyword
// the scripts' materials skip (Material::skipped) with the faces whose texture it touches, and
// each material the level names (its textures and fog volumes) that no script defines. Names
// are compared ignoring case, as the library finds them.
struct MaterialReport {
    struct Skipped {
        std::string keyword; // as first written
        std::size_t faces = 0;
        std::size_t materials = 0;
    };
    struct Undefined {
        std::string name;
        std::size_t faces = 0;
    };

    std::vector<Skipped> skipped;     // by keyword ignoring case, in that order
    std::vector<Undefined> undefined; // textures in lump order, then fog materials in effect order
    std::size_t used = 0;             // distinct material names the level names
    std::size_t fromScripts = 0;      // of those, the ones a script defines
    std::size_t facesTouched = 0;     // faces whose material skips a drawing keyword

    static MaterialReport of(const LevelData& level, const MaterialLibrary& materials);

    // "materials: U used, S from scripts; skipped keywords touch F faces"
    std::string summaryLine() const;
};

#pragma once

#include "level/LevelData.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class MaterialLibrary;

// What the viewer cannot show of a level's materials, for the inspector: each drawing keyword
// the scripts' materials skip (Material::skipped) with the faces whose texture it touches; each
// face not drawn though its material has drawing stages, and each stage not drawn, by reason
// (a material that says surfaceparm nodraw or sky loses nothing by it);
// and each material the level's faces name that no script defines. Only names that faces use
// count: a texture record's faces, a fog volume's faces. Names are compared ignoring case, as
// the library finds them. Whether a face is drawn is SurfaceStyle::of's answer for its record
// (flags and material), the designed frame's own; which stages make passes or cloud layers is
// MaterialPasses'.
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
    enum class Reason : uint8_t {
        nodrawRecord,   // faces: their texture record is flagged nodraw, though the material is not
        billboard,      // faces: billboards are never drawn
        nothingShown,   // stages: neither an image of their own, nor the lightmap, nor white
        notACloudLayer, // stages: a sky's stage that is neither an image nor $whiteimage ($lightmap)
        imageNotFound,  // stages: their image (every animMap frame) is missing or does not decode
    };
    struct Undrawn {
        Reason reason;
        std::size_t faces = 0;              // faces not drawn, for the face reasons
        std::size_t stages = 0;             // stages not drawn, of the materials listed
        std::vector<std::string> materials; // in the order met
    };

    std::vector<Skipped> skipped;     // by keyword ignoring case, in that order
    std::vector<Undrawn> undrawn;     // the reasons that hold for something, in Reason order
    std::vector<Undefined> undefined; // textures in lump order, then fog materials in effect order
    std::size_t used = 0;             // distinct material names the level's faces use
    std::size_t fromScripts = 0;      // of those, the ones a script defines
    std::size_t facesTouched = 0;     // faces whose material skips a drawing keyword
    std::size_t undrawnFaces = 0;
    std::size_t undrawnStages = 0;

    // `imageFound(name)`: whether a stage's image, named as a script writes it, is found and
    // decodes (TextureResolver's test).
    static MaterialReport of(const LevelData& level, const MaterialLibrary& materials,
                             const std::function<bool(const std::string&)>& imageFound);

    static const char* describe(Reason reason); // "fog material: drawn only as haze"
    // "materials: U used, S from scripts; skipped keywords touch F faces; not drawn: N faces, K stages"
    std::string summaryLine() const;
};

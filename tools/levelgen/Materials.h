#pragma once

#include "DataFile.h"
#include "Plan.h"

#include <cstdint>
#include <string>
#include <vector>

// The surfaces that need a material script rather than a plain picture. Each has a
// texture name textures/NAME/<stem> (NAME the plan's name), the surface flags and contents
// its texture record carries, and a block in the script scripts/NAME.shader.
//
// Gotcha: the skies' texture names and the material-only wall's have no image file of their
// own on purpose; the far-box sky is drawn from env/NAME/sky_*.jpg, the cloud sky from its
// stages, and the wall from its material's first stage, which names a .tga where only the .jpg
// exists. The plan's "sky" setting says which of the two skies its open-sky cells show.
enum class Material {
    Grate,
    Panel,
    Sky,
    Nodraw,
    PanelWall,
    Water,      // two scrolling, swaying blended stages
    Lava,       // no lightmap, brightness pulsing
    PulsePanel, // a panel and an added glow that pulses
    Chrome,     // reflects a picture of its surroundings
    Sign,       // four pictures in turn
    Flame,      // a quad that always faces the eye, added to what lies behind
    Fog,        // the fog pit's volume and surface
    Clouds,     // a sky of two scrolling cloud layers and no far box
    Dusk,       // a flat-coloured sky under one added cloud layer; its far box is missing
    Count
};

constexpr int32_t skySurfaceFlag = 0x4;
constexpr int32_t nodrawSurfaceFlag = 0x80;
constexpr int32_t solidContents = 0x1;
constexpr int32_t lavaContents = 0x8;
constexpr int32_t waterContents = 0x20;
constexpr int32_t fogContents = 0x40;

struct MaterialRecord {
    std::string textureName; // below the data directory, no extension
    int32_t flags = 0;
    int32_t contents = solidContents;
};

MaterialRecord materialRecord(const Plan& plan, Material material);
bool planUses(const Plan& plan, Material material); // some cell of the plan shows it
Material skyMaterial(const Plan& plan);            // the one its open-sky cells show

std::string materialScriptPath(const Plan& plan); // scripts/NAME.shader
std::string materialScript(const Plan& plan);     // every material, whether the plan uses it or not

// The script and every picture it names, the sky's far box included.
std::vector<DataFile> materialFiles(const Plan& plan);

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
// Gotcha: the sky's texture name and the material-only wall's have no image file of their
// own on purpose; the sky is drawn from its far box env/NAME/sky_*.jpg and the wall from its
// material's first stage, which names a .tga where only the .jpg exists.
enum class Material { Grate, Panel, Sky, Nodraw, PanelWall, Count };

constexpr int32_t skySurfaceFlag = 0x4;
constexpr int32_t nodrawSurfaceFlag = 0x80;
constexpr int32_t solidContents = 0x1;

struct MaterialRecord {
    std::string textureName; // below the data directory, no extension
    int32_t flags = 0;
    int32_t contents = solidContents;
};

MaterialRecord materialRecord(const Plan& plan, Material material);
bool planUses(const Plan& plan, Material material); // some cell of the plan shows it

std::string materialScriptPath(const Plan& plan); // scripts/NAME.shader
std::string materialScript(const Plan& plan);     // every material, whether the plan uses it or not

// The script and every picture it names, the sky's far box included.
std::vector<DataFile> materialFiles(const Plan& plan);

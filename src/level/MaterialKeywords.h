#pragma once

#include "level/Material.h"
#include "level/MaterialStatement.h"

// What each keyword line of a material script means: applies one line to the material, or to
// one of its stages; later lines override earlier ones. A line the viewer cannot honour (an
// unknown drawing keyword, an argument it does not know, numbers missing) is noted in
// Material::skipped, unless it is meant for the level compiler or the editor, and changes
// nothing, with two exceptions: an image it cannot show leaves its stage without one, and an
// animMap of more than eight frames keeps the first eight.
class MaterialKeywords {
public:
    static void applyToMaterial(const MaterialStatement& statement, Material& material);
    static void applyToStage(const MaterialStatement& statement, Material::Stage& stage, Material& material);

    // Keywords for the level compiler and the editor: nothing the viewer draws depends on them.
    static bool isForTools(const std::string& keyword);
};

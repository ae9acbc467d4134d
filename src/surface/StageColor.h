#pragma once

#include "level/Material.h"

#include <array>

// The colour and alpha that a stage's rgbGen and alphaGen give one vertex at one time, each
// 0..1. Approximations: lightingDiffuse takes the vertex colour as the designed frame lights
// vertex-lit faces with it (the baked light stands in for the light grid); alphaGen
// lightingSpecular is a highlight from one fixed light, up and to one side (toward world
// (1, 2, 1)), by Blinn's half vector with exponent 8; alphaGen
// portal grows linearly with the eye's distance, reaching 1 at the portal range.
class StageColor {
public:
    struct Inputs {
        double seconds = 0.0;
        std::array<float, 4> storedColor{1.0f, 1.0f, 1.0f, 1.0f}; // the vertex's colour and alpha as stored, 0..1
        std::array<float, 3> litColor{1.0f, 1.0f, 1.0f};          // that colour as the designed frame brightens it
        std::array<float, 3> eye{};                               // world, Y up
        std::array<float, 3> position{};
        std::array<float, 3> normal{0.0f, 1.0f, 0.0f};
    };

    static std::array<float, 4> of(const Material::Stage& stage, const Inputs& inputs);

    // Whether the colour or the alpha differs from vertex to vertex; otherwise one value per
    // stage and frame does (evaluated at any vertex).
    static bool colorVariesPerVertex(const Material::Stage& stage);
    static bool alphaVariesPerVertex(const Material::Stage& stage);
};

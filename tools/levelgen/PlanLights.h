#pragma once

#include "Level.h"
#include "Plan.h"

#include <vector>

// The plan's lights as every output describes them: the level's entities, the baked
// lightmaps and the viewer's lights file all take position, colour and strength from here.
struct LightSource {
    Vector3 position;                   // file coordinates (Z up), just under the ceiling
    float colour[3] = {1.0f, 1.0f, 1.0f}; // red, green, blue in 0..1
    const char* kind = "lamp";          // the lights file's first word
    const char* colourText = "1 1 1";   // the colour as the lights file and the entities write it
};

// The entity "light" value of every light: the distance in units at which its light has
// fallen to half of what it gives right beside it.
constexpr int lightIntensity = 300;

std::vector<LightSource> lightSources(const Plan& plan); // one per plan light, in reading order

#pragma once

#include "math/Float3.h"
#include "level/LevelData.h"

#include <string>
#include <vector>

class MaterialLibrary;

// What the eye looks at, in words for the level maker who asks (level mode's i): the face under
// the centre of the view (its texture record, material, type, lightmap, flags, brush entity and
// the point met) and the nearest point entity within a few degrees of the view, with every key.
// World coordinates (Y up) in, the file's own numbers out where the file gave them.
class Inspection {
public:
    static constexpr double entityDegrees = 5; // how far off the view an entity may stand

    // One line each, no line breaks; `materials` may be null.
    static std::vector<std::string> describe(const LevelData& level, const MaterialLibrary* materials, Float3 eye,
                                             Float3 direction);
    // The point entity nearest the line from `eye` along the unit `direction` within `degreesOff`,
    // which becomes how far off it is, with `distance`; null when none is. Allocates nothing.
    static const Entity* entityInView(const LevelData& level, Float3 eye, Float3 direction, double& degreesOff,
                                      float& distance);
};

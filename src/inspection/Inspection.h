#pragma once

#include "math/Float3.h"
#include "level/LevelData.h"
#include "simulation/CollisionWorld.h"

#include <string>
#include <vector>

class MaterialLibrary;

// What the eye looks at, in words for the level maker who asks (level mode's i): the face under
// the centre of the view (its texture record, material, type, lightmap, flags, brush entity and
// the point met) and the nearest point entity the eye sees within a few degrees of the view, with
// every key. An entity is seen when the line from the eye to its origin meets no solid brush (of
// the world or a brush entity where it stands now) farther than sightSlack short of it: a wall
// hides it, a player clip, a trigger or water does not. From inside a solid, none is seen.
// World coordinates (Y up) in, the file's own numbers out where the file gave them.
class Inspection {
public:
    static constexpr double entityDegrees = 5; // how far off the view an entity may stand
    // Units of solid the line may stop short of an origin by: an item whose origin lies in the
    // floor it stands on is still seen, as its marker shows above it.
    static constexpr float sightSlack = 8;

    // One line each, no line breaks; `materials` may be null. `blocking` is the level's.
    static std::vector<std::string> describe(const LevelData& level, const MaterialLibrary* materials,
                                             const CollisionWorld& blocking, Float3 eye, Float3 direction);
    // Of the point entities seen from `eye` within `degreesOff` of the unit `direction`, the
    // nearest; `degreesOff` becomes how far off it is and `distance` how far away. Null when none
    // is. Allocates nothing.
    static const Entity* entityInView(const LevelData& level, const CollisionWorld& blocking, Float3 eye,
                                      Float3 direction, double& degreesOff, float& distance);
};

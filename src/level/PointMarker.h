#pragma once

#include "level/EntityText.h"
#include "math/Vec3.h"

#include <array>
#include <cstddef>
#include <vector>

// A point entity as level mode's markers ('n') show it: where it stands, the family its class
// belongs to (each shown in one colour) and its heading.
struct PointMarker {
    enum class Family { playerStart, item, light, teleportDestination, other };
    static constexpr std::size_t familyCount = 5;

    Family family = Family::other;
    Vec3 position;      // world, Y up: the entity's origin
    float heading = 0;  // its "angle": degrees counterclockwise from the file's +X seen from above

    // Player starts are those the j key jumps to; items, weapons and ammunition are one family.
    static Family familyOf(const Entity& entity);
    static std::array<unsigned char, 3> colour(Family family); // red, green, blue
    // Every entity whose origin is three numbers, in entity order, but the world and brush
    // entities (whose model is inline: they are drawn themselves).
    static std::vector<PointMarker> list(const std::vector<Entity>& entities);
};

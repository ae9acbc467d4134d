#pragma once

#include "level/EntityText.h"
#include "math/Vec3.h"

#include <array>
#include <cstddef>
#include <vector>

// A point entity as level mode's markers ('n') show it: where it stands, the family its class
// belongs to (each shown in one colour) and its heading. Pickups have no marker: they are shown
// as their own shapes (Pickup).
struct PointMarker {
    enum class Family { playerStart, light, teleportDestination, other };
    static constexpr std::size_t familyCount = 4;

    Family family = Family::other;
    Vec3 position;      // world, Y up: the entity's origin
    float heading = 0;  // its "angle": degrees counterclockwise from the file's +X seen from above

    // Player starts are those the j key jumps to.
    static Family familyOf(const Entity& entity);
    static std::array<unsigned char, 3> colour(Family family); // red, green, blue
    // Every entity whose origin is three numbers, in entity order, but the world, brush entities
    // (whose model is inline: they are drawn themselves) and pickups.
    static std::vector<PointMarker> list(const std::vector<Entity>& entities);
};

#pragma once

#include "level/EntityText.h"
#include "math/Vec3.h"

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

// A point entity a player picks up, as level mode shows it: where it stands and its family,
// which its shape and colour say. The family comes from the class alone: weapon_*, ammo_*,
// item_armor* (armour), item_health* (health), any other item_* and holdable_* (power-ups and
// holdables), and team_* classes naming a flag. A flag takes its team's colour (red or blue,
// as its class names it; white for neither).
struct Pickup {
    enum class Family { weapon, ammunition, armour, health, powerup, flag };
    static constexpr std::size_t familyCount = 6;

    Family family = Family::powerup;
    Vec3 position;                         // world, Y up: the entity's origin
    std::array<unsigned char, 3> shown{}; // its colour: red, green, blue

    // Nothing for a class that is no pickup; classes match in any case.
    static std::optional<Family> familyOf(const Entity& entity);
    static std::array<unsigned char, 3> colour(Family family); // a flag's when no team is named
    // Every pickup whose origin is three numbers, in entity order.
    static std::vector<Pickup> list(const std::vector<Entity>& entities);
};

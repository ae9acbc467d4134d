#pragma once

#include "level/EntityText.h"
#include "level/LevelData.h"

#include <string>
#include <vector>

// What a level maker asks of a level before walking it, answered by the viewer's own world
// (World) without a window, walking as a player does:
// - each player start (the ones j visits; intermission views are listed apart as cameras):
//   whether the player placed there stands in a solid, and how far it falls to a floor;
// - each jump pad, and each trigger or button that fires a target_push: the player stands on the
//   floor under the volume, or beside it and walks in, and the arc is followed until the player
//   stands again: where it lands and after how long (and through which teleporter), or what
//   truly stops it;
// - each teleporter, and each trigger or button that fires a target_teleporter: the player walks
//   in, and where it stands afterwards.
// Brushes left out for a bad index come first, in one line. Positions are in file coordinates
// (Z up), as the level's editor shows them, rounded to units. Anything that does nothing, cannot
// be walked into, or whose arc or destination fails counts as blocked.
struct MovementReport {
    std::vector<std::string> lines;
    std::size_t starts = 0;
    std::size_t startsInSolid = 0;
    std::size_t pads = 0;
    std::size_t padsBlocked = 0;
    std::size_t teleporters = 0;
    std::size_t teleportersBlocked = 0;

    static constexpr double flightLimit = 10.0; // seconds an arc is followed
    static constexpr double walkLimit = 3.0;    // seconds spent walking into a volume
    // An arc whose top stays this far below its target was cut short by what it met.
    static constexpr float shortfall = 32.0f;

    static MovementReport of(const LevelData& level, const std::vector<Entity>& entities);
    // "movement: S starts (A in solid), P jump pads (B blocked), T teleporters (C blocked)"
    std::string summaryLine() const;
};

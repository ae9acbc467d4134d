#pragma once

#include "level/EntityText.h"
#include "level/LevelData.h"

#include <string>
#include <vector>

// What a level maker asks of a level before walking it, answered by the walker itself
// (PlayerMovement) without a window: for each player start, whether the player placed there
// (PlayerMovement::startLift above its origin) stands in a solid and how far it falls to a
// floor; for each jump pad, how fast it throws, the arc's top and where the player lands and
// after how long, or what blocks the arc first; for each teleporter, whether its destination is
// clear and where the player comes down below it. Brushes the walker left out for a bad index
// come first, in one line. Positions are printed in file coordinates (Z up), as the level's
// editor shows them, rounded to units. A pad or teleporter that does nothing (no target, or one
// missing or unusable) or whose arc is blocked counts as blocked.
struct MovementReport {
    std::vector<std::string> lines;
    std::size_t starts = 0;
    std::size_t startsInSolid = 0;
    std::size_t pads = 0;
    std::size_t padsBlocked = 0;
    std::size_t teleporters = 0;
    std::size_t teleportersBlocked = 0;

    static constexpr double flightLimit = 10.0; // seconds a pad's arc is followed

    static MovementReport of(const LevelData& level, const std::vector<Entity>& entities);
    // "movement: S starts (A in solid), P jump pads (B blocked), T teleporters (C blocked)"
    std::string summaryLine() const;
};

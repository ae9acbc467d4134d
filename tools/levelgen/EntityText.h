#pragma once

#include "Plan.h"

#include <string>

// The entity lump as level files carry it: blocks "{ ... }" of "key" "value" lines. A
// worldspawn block names the level, one info_player_deathmatch block holds the start, one
// light block each light, then a block for each brush entity (naming its model "*N": the cells'
// first, then the shapes' in plan order, each followed by what it fires or sends to) and each
// item, weapon, teleport destination, further start, team spawn and intermission view. Origins
// are file coordinates (Z up) in whole units; the start's angle is in degrees counterclockwise
// from file +x seen from above (90 = north = +y).

// The viewer puts the eye this far above a start's origin.
constexpr int startEyeLift = 40;

struct FilePoint {
    int x = 0;
    int y = 0;
    int z = 0;
};

FilePoint startOrigin(const Plan& plan); // the eye ends up where startPosition() puts it
std::string entityText(const Plan& plan);
